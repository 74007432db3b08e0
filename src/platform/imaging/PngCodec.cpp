#include <png.h>

#include <csetjmp>
#include <cstring>

#include "platform/imaging/Codec.h"
#include "platform/imaging/ImagingResult.h"

namespace Platform::imaging::codec {
namespace {

struct Reader {
    const uint8_t* data;
    size_t size;
    size_t at;
};

void readData(png_structp png, png_bytep out, png_size_t length) {
    auto* r = static_cast<Reader*>(png_get_io_ptr(png));
    if (length > r->size - r->at) png_error(png, "read past end");
    std::memcpy(out, r->data + r->at, length);
    r->at += length;
}

void quietWarning(png_structp, png_const_charp) {}
void failError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// Opens the reader, applies the transforms that give 8-bit grey, RGB or RGBA
// and reads the header. The caller's setjmp guards what follows.
void setUp(png_structp png, png_infop info, ImageInfo& out) {
    // Ancillary chunks may not grow without bound (text, unknown chunks).
    png_set_chunk_cache_max(png, 128);
    png_set_chunk_malloc_max(png, 8u << 20);
    png_read_info(png, info);
    const int colour = png_get_color_type(png, info);
    const int depth = png_get_bit_depth(png, info);
    if (depth == 16) png_set_strip_16(png);
    if (colour == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colour == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
    const bool transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (transparency) png_set_tRNS_to_alpha(png);
    const bool grey = colour == PNG_COLOR_TYPE_GRAY || colour == PNG_COLOR_TYPE_GRAY_ALPHA;
    const bool alpha = (colour & PNG_COLOR_MASK_ALPHA) != 0 || transparency;
    if (grey && alpha) png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    out.width = png_get_image_width(png, info);
    out.height = png_get_image_height(png, info);
    out.format = alpha ? FormatId::Rgba32 : grey ? FormatId::Gray8 : FormatId::Rgb24;
}

struct ReadState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~ReadState() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

}  // namespace

Result readPngHeader(const uint8_t* data, size_t size, ImageInfo& info) {
    ReadState s;
    Reader reader{data, size, 0};
    s.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, failError, quietWarning);
    if (s.png == nullptr) return kOutOfMemory;
    s.info = png_create_info_struct(s.png);
    if (s.info == nullptr) return kOutOfMemory;
    png_set_read_fn(s.png, &reader, readData);
    if (setjmp(png_jmpbuf(s.png))) return kBadHeader;
    setUp(s.png, s.info, info);
    return kOk;
}

Result decodePng(const uint8_t* data, size_t size, const ImageInfo& expected, uint8_t* out) {
    ReadState s;
    Reader reader{data, size, 0};
    s.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, failError, quietWarning);
    if (s.png == nullptr) return kOutOfMemory;
    s.info = png_create_info_struct(s.png);
    if (s.info == nullptr) return kOutOfMemory;
    png_set_read_fn(s.png, &reader, readData);
    // Row pointers live outside the jump's reach.
    static_assert(sizeof(png_bytep) == sizeof(void*));
    if (setjmp(png_jmpbuf(s.png))) return kBadImage;
    ImageInfo info;
    setUp(s.png, s.info, info);
    if (info.width != expected.width || info.height != expected.height || info.format != expected.format)
        return kBadImage;
    const size_t row = static_cast<size_t>(info.width) * bytesPerPixel(info.format);
    if (png_get_rowbytes(s.png, s.info) != row) return kBadImage;
    const int passes = png_set_interlace_handling(s.png);
    for (int pass = 0; pass < passes; ++pass)
        for (uint32_t y = 0; y < info.height; ++y) png_read_row(s.png, out + row * y, nullptr);
    return kOk;
}

namespace {

struct WriteState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~WriteState() { png_destroy_write_struct(&png, info ? &info : nullptr); }
};

void writeData(png_structp png, png_bytep in, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), in, in + length);
}
void flushData(png_structp) {}

}  // namespace

Result encodePng(const EncodeInput& input, std::vector<uint8_t>& out) {
    WriteState s;
    s.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, failError, quietWarning);
    if (s.png == nullptr) return kOutOfMemory;
    s.info = png_create_info_struct(s.png);
    if (s.info == nullptr) return kOutOfMemory;
    if (setjmp(png_jmpbuf(s.png))) return kFail;
    png_set_write_fn(s.png, &out, writeData, flushData);
    png_set_IHDR(s.png, s.info, input.width, input.height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_pHYs(s.png, s.info, static_cast<png_uint_32>(input.dpiX / 0.0254 + 0.5),
                 static_cast<png_uint_32>(input.dpiY / 0.0254 + 0.5), PNG_RESOLUTION_METER);
    png_write_info(s.png, s.info);
    png_set_bgr(s.png);
    const size_t row = static_cast<size_t>(input.width) * 4;
    for (uint32_t y = 0; y < input.height; ++y) png_write_row(s.png, const_cast<png_bytep>(input.pixels + row * y));
    png_write_end(s.png, nullptr);
    return kOk;
}

}  // namespace Platform::imaging::codec
