#include <cstdio>
// jpeglib.h needs size_t and FILE first.
#include <jerror.h>
#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstring>

#include "platform/imaging/Codec.h"
#include "platform/imaging/ImagingResult.h"

namespace Platform::imaging::codec {
namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void failExit(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1); }
void quietMessage(j_common_ptr) {}

// The decoder's work memory is bounded: progressive files keep every
// coefficient of the image, and a corrupt scan list may ask for more.
constexpr long kMaxDecodeMemory = 1L << 30;

struct Decompress {
    jpeg_decompress_struct info{};
    ErrorManager error{};
    ~Decompress() { jpeg_destroy_decompress(&info); }
};

void setUp(Decompress& d, const uint8_t* data, size_t size) {
    d.info.err = jpeg_std_error(&d.error.base);
    d.error.base.error_exit = failExit;
    d.error.base.output_message = quietMessage;
    jpeg_create_decompress(&d.info);
    d.info.mem->max_memory_to_use = kMaxDecodeMemory;
    jpeg_mem_src(&d.info, data, static_cast<unsigned long>(size));
}

// The first APP1 segment that holds EXIF data: its orientation.
uint8_t orientationOf(const jpeg_decompress_struct& info) {
    static constexpr char kExif[] = "Exif\0";  // then one more zero byte
    for (jpeg_saved_marker_ptr m = info.marker_list; m != nullptr; m = m->next) {
        if (m->marker != JPEG_APP0 + 1 || m->data_length < 6 || std::memcmp(m->data, kExif, 6) != 0) continue;
        return exifOrientation(m->data + 6, m->data_length - 6);
    }
    return 1;
}

bool readInfo(Decompress& d, ImageInfo& info) {
    jpeg_save_markers(&d.info, JPEG_APP0 + 1, 0xFFFF);
    if (jpeg_read_header(&d.info, TRUE) != JPEG_HEADER_OK) return false;
    const bool grey = d.info.jpeg_color_space == JCS_GRAYSCALE;
    // Four-channel files come out as CMYK and are turned into RGB here.
    const bool cmyk = d.info.jpeg_color_space == JCS_CMYK || d.info.jpeg_color_space == JCS_YCCK;
    d.info.out_color_space = grey ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_RGB;
    info.width = d.info.image_width;
    info.height = d.info.image_height;
    info.format = grey ? FormatId::Gray8 : FormatId::Rgb24;
    info.orientation = orientationOf(d.info);
    return true;
}

// CMYK rows as JPEG writers store them, every channel inverted (255 is no
// ink), into RGB: each colour is what its ink and the black let through.
void cmykToRgb(const uint8_t* cmyk, uint32_t width, uint8_t* rgb) {
    for (uint32_t x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
        const uint32_t k = cmyk[3];
        for (int c = 0; c < 3; ++c) rgb[c] = static_cast<uint8_t>((cmyk[c] * k + 127) / 255);
    }
}

}  // namespace

Result readJpegHeader(const uint8_t* data, size_t size, ImageInfo& info) {
    Decompress d;
    if (setjmp(d.error.jump)) return kBadHeader;
    setUp(d, data, size);
    return readInfo(d, info) ? kOk : kBadHeader;
}

Result decodeJpeg(const uint8_t* data, size_t size, const ImageInfo& expected, uint8_t* out) {
    Decompress d;
    if (setjmp(d.error.jump)) return kBadImage;
    setUp(d, data, size);
    ImageInfo info;
    if (!readInfo(d, info) || info.width != expected.width || info.height != expected.height ||
        info.format != expected.format)
        return kBadImage;
    jpeg_start_decompress(&d.info);
    const size_t row = static_cast<size_t>(info.width) * bytesPerPixel(info.format);
    const bool cmyk = d.info.out_color_space == JCS_CMYK;
    if (d.info.output_width != info.width || d.info.output_height != info.height ||
        d.info.output_components != (cmyk ? 4 : static_cast<int>(bytesPerPixel(info.format))))
        return kBadImage;
    // The CMYK row lives in the library's pool: a failure jumps past any
    // destructor of ours.
    JSAMPARRAY cmykRow =
        cmyk ? (*d.info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&d.info), JPOOL_IMAGE, info.width * 4, 1)
             : nullptr;
    while (d.info.output_scanline < d.info.output_height) {
        uint8_t* target = out + row * d.info.output_scanline;
        JSAMPROW line = cmyk ? cmykRow[0] : target;
        if (jpeg_read_scanlines(&d.info, &line, 1) != 1) return kBadImage;
        if (cmyk) cmykToRgb(cmykRow[0], info.width, target);
    }
    // A file cut short reads as grey below the cut, with a warning only, as
    // viewers show it.
    jpeg_finish_decompress(&d.info);
    return kOk;
}

namespace {

struct Compress {
    jpeg_compress_struct info{};
    ErrorManager error{};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    ~Compress() {
        jpeg_destroy_compress(&info);
        std::free(buffer);
    }
};

}  // namespace

Result encodeJpeg(const EncodeInput& input, std::vector<uint8_t>& out) {
    Compress c;
    if (setjmp(c.error.jump)) return kFail;
    c.info.err = jpeg_std_error(&c.error.base);
    c.error.base.error_exit = failExit;
    c.error.base.output_message = quietMessage;
    jpeg_create_compress(&c.info);
    jpeg_mem_dest(&c.info, &c.buffer, &c.size);
    c.info.image_width = input.width;
    c.info.image_height = input.height;
    c.info.input_components = 3;
    c.info.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&c.info);
    const int quality = static_cast<int>(std::lround(std::clamp(input.quality, 0.0f, 1.0f) * 100.0f));
    jpeg_set_quality(&c.info, std::max(quality, 1), TRUE);
    c.info.write_JFIF_header = TRUE;
    c.info.density_unit = 1;  // dots per inch
    c.info.X_density = static_cast<UINT16>(std::clamp(std::lround(input.dpiX), 1L, 65535L));
    c.info.Y_density = static_cast<UINT16>(std::clamp(std::lround(input.dpiY), 1L, 65535L));
    jpeg_start_compress(&c.info, TRUE);
    const size_t row = static_cast<size_t>(input.width) * 3;
    while (c.info.next_scanline < c.info.image_height) {
        JSAMPROW line = const_cast<JSAMPROW>(input.pixels + row * c.info.next_scanline);
        jpeg_write_scanlines(&c.info, &line, 1);
    }
    jpeg_finish_compress(&c.info);
    out.assign(c.buffer, c.buffer + c.size);
    return kOk;
}

}  // namespace Platform::imaging::codec
