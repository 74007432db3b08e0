#pragma once
#include "platform/imaging/PixelSource.h"

namespace Platform::imaging {

// Pixels in the caller's memory, read in place: the memory must outlive the bitmap.
class MemoryBitmap : public PixelSource {
public:
    MemoryBitmap(uint32_t width, uint32_t height, FormatId format, uint32_t stride, const uint8_t* pixels)
        : width_(width), height_(height), format_(format), stride_(stride), pixels_(pixels) {}
    // The memory must hold every row: stride × height bytes, each row its pixels.
    static Result check(uint32_t width, uint32_t height, FormatId format, uint32_t stride, size_t size,
                        const uint8_t* pixels);

    Result getSize(uint32_t& width, uint32_t& height) const override;
    Result getPixelFormat(FormatId& format) const override;
    Result copyPixels(const Rect* rect, uint32_t stride, size_t bufferSize, uint8_t* buffer) override;

private:
    uint32_t width_;
    uint32_t height_;
    FormatId format_;
    uint32_t stride_;
    const uint8_t* pixels_;
};

}  // namespace Platform::imaging
