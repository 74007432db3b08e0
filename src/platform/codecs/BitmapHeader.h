#pragma once
#include <cstdint>

namespace Platform::codecs {

// The header of a device-independent bitmap (40 bytes, little-endian fields)
// as decoders, plug-ins and the clipboard exchange it.
struct BitmapHeader {
    uint32_t biSize = 0;
    int32_t biWidth = 0;
    int32_t biHeight = 0;
    uint16_t biPlanes = 0;
    uint16_t biBitCount = 0;
    uint32_t biCompression = 0;
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};
static_assert(sizeof(BitmapHeader) == 40);

}  // namespace Platform::codecs
