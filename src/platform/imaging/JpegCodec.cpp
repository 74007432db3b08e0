#include <cstdio>
// jpeglib.h needs size_t and FILE first.
#include <jerror.h>
#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>

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

bool readInfo(Decompress& d, ImageInfo& info) {
    if (jpeg_read_header(&d.info, TRUE) != JPEG_HEADER_OK) return false;
    const bool grey = d.info.jpeg_color_space == JCS_GRAYSCALE;
    d.info.out_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    info.width = d.info.image_width;
    info.height = d.info.image_height;
    info.format = grey ? FormatId::Gray8 : FormatId::Rgb24;
    return true;
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
    if (d.info.output_width != info.width || d.info.output_height != info.height ||
        static_cast<size_t>(d.info.output_width) * d.info.output_components != row)
        return kBadImage;
    while (d.info.output_scanline < d.info.output_height) {
        JSAMPROW line = out + row * d.info.output_scanline;
        jpeg_read_scanlines(&d.info, &line, 1);
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
