#include "platform/imaging/MemoryBitmap.h"

#include <cstring>

#include "platform/imaging/ImagingResult.h"

namespace Platform::imaging {

Result MemoryBitmap::check(uint32_t width, uint32_t height, FormatId format, uint32_t stride, size_t size,
                           const uint8_t* pixels) {
    const uint32_t bpp = bytesPerPixel(format);
    if (bpp == 0) return kUnsupportedPixelFormat;
    if (width == 0 || height == 0 || pixels == nullptr) return kInvalidArg;
    if (static_cast<uint64_t>(width) * bpp > stride || static_cast<uint64_t>(stride) * height > size)
        return kInvalidArg;
    return kOk;
}

Result MemoryBitmap::getSize(uint32_t& width, uint32_t& height) const {
    width = width_;
    height = height_;
    return kOk;
}

Result MemoryBitmap::getPixelFormat(FormatId& format) const {
    format = format_;
    return kOk;
}

Result MemoryBitmap::copyPixels(const Rect* rect, uint32_t stride, size_t bufferSize, uint8_t* buffer) {
    const uint32_t bpp = bytesPerPixel(format_);
    Rect area;
    if (const Result r = checkCopy(width_, height_, bpp, rect, stride, bufferSize, buffer, area); failed(r)) return r;
    for (int32_t y = 0; y < area.height; ++y)
        std::memcpy(buffer + static_cast<size_t>(stride) * y,
                    pixels_ + static_cast<size_t>(stride_) * (area.y + y) + static_cast<size_t>(area.x) * bpp,
                    static_cast<size_t>(area.width) * bpp);
    return kOk;
}

}  // namespace Platform::imaging
