#include "platform/imaging/SampleImages.h"

#include <gif_lib.h>
#include <png.h>
#include <tiffio.h>
#include <webp/encode.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace Samples {

Rgba samplePixel(uint32_t x, uint32_t y, bool alpha) {
    return {static_cast<uint8_t>(x * 37 + 11), static_cast<uint8_t>(y * 53 + 7), static_cast<uint8_t>((x + y) * 29),
            static_cast<uint8_t>(alpha ? 255 - (x * 17 + y * 41) % 256 : 255)};
}

namespace {

void pngWrite(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}
void pngFlush(png_structp) {}

Bytes writePng(uint32_t width, uint32_t height, int colourType, int depth, bool interlaced,
               const std::vector<Bytes>& rows, const png_color* palette, int paletteCount, const png_byte* trns,
               int trnsCount) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) throw std::runtime_error("png sample");
    png_set_write_fn(png, &out, pngWrite, pngFlush);
    png_set_IHDR(png, info, width, height, depth, colourType, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (palette) png_set_PLTE(png, info, palette, paletteCount);
    if (trns) png_set_tRNS(png, info, trns, trnsCount, nullptr);
    png_write_info(png, info);
    const int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; ++pass)
        for (uint32_t y = 0; y < height; ++y) png_write_row(png, rows[y].data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

}  // namespace

Bytes png(uint32_t width, uint32_t height, int colourType, int depth, bool interlaced) {
    const int channels = colourType == PNG_COLOR_TYPE_GRAY         ? 1
                         : colourType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                         : colourType == PNG_COLOR_TYPE_RGB        ? 3
                                                                   : 4;
    const bool alpha = channels == 2 || channels == 4;
    std::vector<Bytes> rows(height);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const Rgba p = samplePixel(x, y, alpha);
            const uint8_t all[4] = {p.r, p.g, p.b, p.a};
            uint8_t v[4];
            if (channels <= 2)
                v[0] = p.r, v[1] = p.a;
            else
                std::memcpy(v, all, 4);
            for (int c = 0; c < channels; ++c) {
                rows[y].push_back(v[c]);
                if (depth == 16) rows[y].push_back(v[c]);  // 16-bit value v * 257
            }
        }
    return writePng(width, height, colourType, depth, interlaced, rows, nullptr, 0, nullptr, 0);
}

Bytes pngPalette(uint32_t width, uint32_t height) {
    png_color palette[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    const png_byte trns[1] = {0};
    std::vector<Bytes> rows(height);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) rows[y].push_back(static_cast<uint8_t>((x + y) % 4));
    return writePng(width, height, PNG_COLOR_TYPE_PALETTE, 8, false, rows, palette, 4, trns, 1);
}

namespace {

int gifWrite(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

}  // namespace

// Colours of the palette sample: index (x + y) % 4, index 0 transparent.
Bytes gif(uint32_t width, uint32_t height, bool interlaced) {
    Bytes out;
    int error = 0;
    GifFileType* g = EGifOpen(&out, gifWrite, &error);
    GifColorType colours[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    ColorMapObject* map = GifMakeMapObject(4, colours);
    EGifSetGifVersion(g, true);
    EGifPutScreenDesc(g, static_cast<int>(width), static_cast<int>(height), 2, 0, map);
    GraphicsControlBlock gcb{};
    gcb.TransparentColor = 0;
    gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
    GifByteType ext[4];
    const size_t n = EGifGCBToExtension(&gcb, ext);
    EGifPutExtension(g, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(n), ext);
    EGifPutImageDesc(g, 0, 0, static_cast<int>(width), static_cast<int>(height), interlaced, nullptr);
    std::vector<GifPixelType> line(width);
    auto row = [&](uint32_t y) {
        for (uint32_t x = 0; x < width; ++x) line[x] = static_cast<GifPixelType>((x + y) % 4);
        EGifPutLine(g, line.data(), static_cast<int>(width));
    };
    if (interlaced) {
        static constexpr uint32_t kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (uint32_t y = kStart[pass]; y < height; y += kStep[pass]) row(y);
    } else {
        for (uint32_t y = 0; y < height; ++y) row(y);
    }
    EGifCloseFile(g, &error);
    GifFreeMapObject(map);
    return out;
}

Bytes tiff(uint32_t width, uint32_t height, bool alpha) {
    TempFolder folder;
    const std::string path = folder.path + "/sample.tif";
    TIFF* t = TIFFOpen(path.c_str(), "w");
    const uint16_t channels = alpha ? 4 : 3;
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, channels);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 2);
    if (alpha) {
        const uint16_t kinds[1] = {EXTRASAMPLE_UNASSALPHA};
        TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, kinds);
    }
    Bytes row(width * channels);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const Rgba p = samplePixel(x, y, alpha);
            const uint8_t v[4] = {p.r, p.g, p.b, p.a};
            std::memcpy(&row[x * channels], v, channels);
        }
        TIFFWriteScanline(t, row.data(), y, 0);
    }
    TIFFClose(t);
    return readFile(path);
}

Bytes webp(uint32_t width, uint32_t height, bool alpha) {
    Bytes rgba(width * height * 4);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            const Rgba p = samplePixel(x, y, alpha);
            std::memcpy(&rgba[(y * width + x) * 4], &p, 4);
        }
    uint8_t* out = nullptr;
    const size_t size = WebPEncodeLosslessRGBA(rgba.data(), static_cast<int>(width), static_cast<int>(height),
                                               static_cast<int>(width * 4), &out);
    Bytes bytes(out, out + size);
    WebPFree(out);
    return bytes;
}

namespace {

void put16(Bytes& b, uint32_t v) { b.push_back(v & 255), b.push_back(v >> 8 & 255); }
void put32(Bytes& b, uint32_t v) { put16(b, v & 0xFFFF), put16(b, v >> 16); }

}  // namespace

Bytes bmp(uint32_t width, uint32_t height, int bits, bool topDown) {
    const bool fields = bits == 32;
    const uint32_t headerSize = fields ? 56 : 40;
    const uint32_t paletteSize = bits == 8 ? 256 * 4 : 0;
    const uint32_t stride = (width * bits + 31) / 32 * 4;
    const uint32_t offset = 14 + headerSize + paletteSize;
    Bytes b;
    b.push_back('B'), b.push_back('M');
    put32(b, offset + stride * height);
    put32(b, 0);
    put32(b, offset);
    put32(b, headerSize);
    put32(b, width);
    put32(b, topDown ? static_cast<uint32_t>(-static_cast<int32_t>(height)) : height);
    put16(b, 1);
    put16(b, static_cast<uint32_t>(bits));
    put32(b, fields ? 3 : 0);
    put32(b, stride * height);
    put32(b, 2835), put32(b, 2835), put32(b, 0), put32(b, 0);
    if (fields) put32(b, 0x00FF0000), put32(b, 0x0000FF00), put32(b, 0x000000FF), put32(b, 0xFF000000);
    for (uint32_t i = 0; i < paletteSize / 4; ++i) b.push_back(i), b.push_back(i), b.push_back(i), b.push_back(0);
    for (uint32_t row = 0; row < height; ++row) {
        const uint32_t y = topDown ? row : height - 1 - row;
        Bytes line;
        for (uint32_t x = 0; x < width; ++x) {
            const Rgba p = samplePixel(x, y, fields);
            if (bits == 8)
                line.push_back(p.r);
            else
                line.push_back(p.b), line.push_back(p.g), line.push_back(p.r);
            if (fields) line.push_back(p.a);
        }
        line.resize(stride);
        b.insert(b.end(), line.begin(), line.end());
    }
    return b;
}

TempFolder::TempFolder() {
    char pattern[] = "/tmp/velmo-imaging-XXXXXX";
    if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp");
    path = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
}

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace Samples
