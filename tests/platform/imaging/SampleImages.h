#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Small images of every container the decoders read, written in the test
// with the libraries themselves (BMP by hand). Pixel (x, y) of a sample is
// samplePixel(x, y), straight RGBA.
namespace Samples {

using Bytes = std::vector<uint8_t>;

struct Rgba {
    uint8_t r, g, b, a;
};
Rgba samplePixel(uint32_t x, uint32_t y, bool alpha);

// colourType as libpng's PNG_COLOR_TYPE_*; depth 8 or 16; grey samples use r.
Bytes png(uint32_t width, uint32_t height, int colourType, int depth, bool interlaced = false);
// A palette PNG with a transparent entry (index 0).
Bytes pngPalette(uint32_t width, uint32_t height);
Bytes gif(uint32_t width, uint32_t height, bool interlaced);
Bytes tiff(uint32_t width, uint32_t height, bool alpha);
Bytes webp(uint32_t width, uint32_t height, bool alpha);
// 24, 32 (bit fields with alpha) or 8 (grey palette) bits; top-down when asked.
Bytes bmp(uint32_t width, uint32_t height, int bits, bool topDown = false);

// A fresh folder under /tmp for one test, removed with the object.
struct TempFolder {
    TempFolder();
    ~TempFolder();
    std::string path;
};

Bytes readFile(const std::string& path);
void writeFile(const std::string& path, const Bytes& bytes);

}  // namespace Samples
