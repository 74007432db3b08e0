#include <algorithm>
#include <cstring>

#include "platform/imaging/Codec.h"

namespace Platform::imaging::codec {
namespace {

uint32_t read16(const uint8_t* p, bool little) { return little ? p[0] | p[1] << 8u : p[0] << 8u | p[1]; }
uint32_t read32(const uint8_t* p, bool little) {
    return little ? p[0] | p[1] << 8u | p[2] << 16u | static_cast<uint32_t>(p[3]) << 24u
                  : static_cast<uint32_t>(p[0]) << 24u | p[1] << 16u | p[2] << 8u | p[3];
}

constexpr uint32_t kOrientationTag = 0x0112;
constexpr uint32_t kShort = 3;

template <uint32_t Bytes>
void orientPixels(const uint8_t* stored, uint32_t width, uint32_t height, uint32_t bytesPerPixel, uint8_t orientation,
                  uint8_t* out) {
    const uint32_t bpp = Bytes != 0 ? Bytes : bytesPerPixel;
    const bool sideways = turnsSideways(orientation);
    const uint32_t shownWidth = sideways ? height : width, shownHeight = sideways ? width : height;
    const size_t storedRow = static_cast<size_t>(width) * bpp;
    // In square blocks: a quarter turn reads the stored picture down its
    // columns, which a whole row at a time would do with a cache miss for
    // every pixel.
    constexpr uint32_t kBlock = 64;
    for (uint32_t by = 0; by < shownHeight; by += kBlock)
        for (uint32_t bx = 0; bx < shownWidth; bx += kBlock) {
            const uint32_t yEnd = std::min(by + kBlock, shownHeight), xEnd = std::min(bx + kBlock, shownWidth);
            for (uint32_t y = by; y < yEnd; ++y) {
                uint8_t* dst = out + (static_cast<size_t>(y) * shownWidth + bx) * bpp;
                for (uint32_t x = bx; x < xEnd; ++x, dst += bpp) {
                    // The stored pixel that shows at (x, y).
                    uint32_t sx = x, sy = y;
                    switch (orientation) {
                    case 2: sx = width - 1 - x; break;
                    case 3: sx = width - 1 - x, sy = height - 1 - y; break;
                    case 4: sy = height - 1 - y; break;
                    case 5: sx = y, sy = x; break;
                    case 6: sx = y, sy = height - 1 - x; break;
                    case 7: sx = width - 1 - y, sy = height - 1 - x; break;
                    case 8: sx = width - 1 - y, sy = x; break;
                    default: break;
                    }
                    std::memcpy(dst, stored + storedRow * sy + static_cast<size_t>(sx) * bpp, bpp);
                }
            }
        }
}

}  // namespace

uint8_t exifOrientation(const uint8_t* tiff, size_t size) {
    if (tiff == nullptr || size < 8) return 1;
    bool little = false;
    if (tiff[0] == 'I' && tiff[1] == 'I')
        little = true;
    else if (!(tiff[0] == 'M' && tiff[1] == 'M'))
        return 1;
    if (read16(tiff + 2, little) != 42) return 1;
    const uint64_t ifd = read32(tiff + 4, little);
    if (ifd + 2 > size) return 1;
    const uint32_t count = read16(tiff + ifd, little);
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t at = ifd + 2 + 12 * static_cast<uint64_t>(i);
        if (at + 12 > size) return 1;
        const uint8_t* entry = tiff + at;
        if (read16(entry, little) != kOrientationTag) continue;
        if (read16(entry + 2, little) != kShort || read32(entry + 4, little) != 1) return 1;
        const uint32_t value = read16(entry + 8, little);  // a short sits at the start of the value field
        return value >= 1 && value <= 8 ? static_cast<uint8_t>(value) : 1;
    }
    return 1;
}

void orient(const uint8_t* stored, uint32_t width, uint32_t height, uint32_t bytesPerPixel, uint8_t orientation,
            uint8_t* out) {
    // Fixed pixel sizes let the copy of each pixel be a plain move.
    switch (bytesPerPixel) {
    case 1: orientPixels<1>(stored, width, height, 1, orientation, out); break;
    case 3: orientPixels<3>(stored, width, height, 3, orientation, out); break;
    case 4: orientPixels<4>(stored, width, height, 4, orientation, out); break;
    default: orientPixels<0>(stored, width, height, bytesPerPixel, orientation, out); break;
    }
}

}  // namespace Platform::imaging::codec
