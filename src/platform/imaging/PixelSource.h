#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/imaging/FormatId.h"
#include "platform/os/Result.h"

namespace Platform::imaging {

// A rectangle of pixels: left, top, width, height.
struct Rect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// Anything pixels can be copied out of: a decoded frame, a converter, a
// bitmap over memory.
class PixelSource {
public:
    virtual ~PixelSource() = default;
    virtual Result getSize(uint32_t& width, uint32_t& height) const = 0;
    virtual Result getPixelFormat(FormatId& format) const = 0;
    // Copies the rectangle (null: the whole image) row by row, stride bytes
    // apart, into a buffer of bufferSize bytes that must hold all of it.
    virtual Result copyPixels(const Rect* rect, uint32_t stride, size_t bufferSize, uint8_t* buffer) = 0;
};

// Checks a copy request against an image and a buffer; fills the rectangle to copy.
Result checkCopy(uint32_t width, uint32_t height, uint32_t bytesPerPixel, const Rect* rect, uint32_t stride,
                 size_t bufferSize, const uint8_t* buffer, Rect& area);

}  // namespace Platform::imaging
