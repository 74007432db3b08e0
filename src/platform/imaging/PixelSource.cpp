#include "platform/imaging/PixelSource.h"

namespace Platform::imaging {

uint32_t bytesPerPixel(FormatId format) {
    switch (format) {
    case FormatId::Gray8: return 1;
    case FormatId::Rgb24:
    case FormatId::Bgr24: return 3;
    case FormatId::Bgr32:
    case FormatId::Rgba32:
    case FormatId::Bgra32:
    case FormatId::Pbgra32: return 4;
    default: return 0;
    }
}

Result checkCopy(uint32_t width, uint32_t height, uint32_t bpp, const Rect* rect, uint32_t stride, size_t bufferSize,
                 const uint8_t* buffer, Rect& area) {
    area = rect ? *rect : Rect{0, 0, static_cast<int32_t>(width), static_cast<int32_t>(height)};
    if (area.x < 0 || area.y < 0 || area.width < 0 || area.height < 0 ||
        static_cast<uint64_t>(area.x) + static_cast<uint64_t>(area.width) > width ||
        static_cast<uint64_t>(area.y) + static_cast<uint64_t>(area.height) > height)
        return kInvalidArg;
    if (area.width == 0 || area.height == 0) return kOk;
    const uint64_t row = static_cast<uint64_t>(area.width) * bpp;
    if (buffer == nullptr || stride < row) return kInvalidArg;
    // The last row needs only its own bytes, not a whole stride.
    if (static_cast<uint64_t>(stride) * static_cast<uint64_t>(area.height - 1) + row > bufferSize) return kInvalidArg;
    return kOk;
}

}  // namespace Platform::imaging
