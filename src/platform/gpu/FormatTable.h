#pragma once
#include <cstdint>

namespace Platform::gpu {

// How a program format that the device lacks is held on the device.
enum class Emulation : uint8_t {
    None,
    Alpha8,  // one alpha byte per pixel held as RGBA8, sampled as (0, 0, 0, a)
    Yuy2,    // Y0 U Y1 V pairs expanded on upload to one RGBA8 texel per pixel (U, Y, V, 1)
    Bgrx,    // BGRA8 sampled with alpha one
};

// One program format number (DXGI numbering) and how the layer holds it.
struct FormatInfo {
    int32_t format;             // the program's format number
    uint32_t vkFormat;          // VkFormat of the device image
    uint32_t cpuBytesPerPixel;  // bytes per pixel of the program's memory layout
    uint32_t gpuBytesPerPixel;  // bytes per texel of the device image
    Emulation emulation;
    const char* name;
};

// The formats the program uses: 10, 11, 13, 28, 41, 65, 69, 87, 88, 107.
class FormatTable {
public:
    // The entry of a format number, or null when the layer does not know it.
    static const FormatInfo* find(int32_t format);
    // Rows of CPU memory in the program's layout <-> device texels, one row each.
    // srcBytes is what the source row holds: at least minCpuRowBytes.
    static void expandRow(const FormatInfo& info, const uint8_t* src, uint8_t* dst, uint32_t width, uint32_t srcBytes);
    static void packRow(const FormatInfo& info, const uint8_t* src, uint8_t* dst, uint32_t width);
    // Bytes a row of `width` pixels takes in the program's layout (YUY2 pairs rounded up).
    static uint32_t cpuRowBytes(const FormatInfo& info, uint32_t width);
    // The fewest bytes a source row may hold: an odd-width YUY2 row may end in
    // half a pair (the last pixel's Y and U), its V then shared from the pair before.
    static uint32_t minCpuRowBytes(const FormatInfo& info, uint32_t width);
};

}  // namespace Platform::gpu
