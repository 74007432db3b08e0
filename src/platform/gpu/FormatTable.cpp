#include "platform/gpu/FormatTable.h"

#include <algorithm>
#include <cstring>
#include <vulkan/vulkan.h>

namespace Platform::gpu {
namespace {

constexpr FormatInfo kFormats[] = {
    {10, VK_FORMAT_R16G16B16A16_SFLOAT, 8, 8, Emulation::None, "R16G16B16A16_FLOAT"},
    {11, VK_FORMAT_R16G16B16A16_UNORM, 8, 8, Emulation::None, "R16G16B16A16_UNORM"},
    {13, VK_FORMAT_R16G16B16A16_SNORM, 8, 8, Emulation::None, "R16G16B16A16_SNORM"},
    {28, VK_FORMAT_R8G8B8A8_UNORM, 4, 4, Emulation::None, "R8G8B8A8_UNORM"},
    {41, VK_FORMAT_R32_SFLOAT, 4, 4, Emulation::None, "R32_FLOAT"},
    {65, VK_FORMAT_R8G8B8A8_UNORM, 1, 4, Emulation::Alpha8, "A8_UNORM"},
    {69, VK_FORMAT_R8G8B8A8_UNORM, 2, 4, Emulation::Yuy2, "G8R8_G8B8_UNORM"},
    {87, VK_FORMAT_B8G8R8A8_UNORM, 4, 4, Emulation::None, "B8G8R8A8_UNORM"},
    {88, VK_FORMAT_B8G8R8A8_UNORM, 4, 4, Emulation::Bgrx, "B8G8R8X8_UNORM"},
    {107, VK_FORMAT_R8G8B8A8_UNORM, 2, 4, Emulation::Yuy2, "YUY2"},
};

}  // namespace

const FormatInfo* FormatTable::find(int32_t format) {
    for (const FormatInfo& info : kFormats) {
        if (info.format == format) return &info;
    }
    return nullptr;
}

uint32_t FormatTable::cpuRowBytes(const FormatInfo& info, uint32_t width) {
    if (info.emulation == Emulation::Yuy2) return (width + 1) / 2 * 4;
    return width * info.cpuBytesPerPixel;
}

uint32_t FormatTable::minCpuRowBytes(const FormatInfo& info, uint32_t width) {
    if (info.emulation == Emulation::Yuy2) return width * 2;
    return cpuRowBytes(info, width);
}

void FormatTable::expandRow(const FormatInfo& info, const uint8_t* src, uint8_t* dst, uint32_t width,
                            uint32_t srcBytes) {
    switch (info.emulation) {
    case Emulation::Alpha8:
        for (uint32_t x = 0; x < width; ++x) {
            dst[4 * x + 0] = 0;
            dst[4 * x + 1] = 0;
            dst[4 * x + 2] = 0;
            dst[4 * x + 3] = src[x];
        }
        break;
    case Emulation::Yuy2: {
        // Whole pairs a word at a time (little-endian: U, Y, V, 255), the rest as below.
        const uint32_t pairs = std::min(width / 2, srcBytes / 4);
        for (uint32_t p = 0; p < pairs; ++p) {
            const uint8_t* pair = src + 4 * p;
            const uint32_t uv = pair[1] | (uint32_t{pair[3]} << 16) | 0xff000000u;
            const uint32_t words[2] = {uv | (uint32_t{pair[0]} << 8), uv | (uint32_t{pair[2]} << 8)};
            std::memcpy(dst + 8 * p, words, sizeof words);
        }
        for (uint32_t x = 2 * pairs; x < width; ++x) {
            const uint8_t* pair = src + (x / 2) * 4;
            const bool whole = (x / 2) * 4 + 4 <= srcBytes;
            dst[4 * x + 0] = pair[1];                // U
            dst[4 * x + 1] = pair[(x & 1) ? 2 : 0];  // Y0 or Y1
            // A half pair at the end of the row has no V: the pair before lends
            // its own, a lone pixel gets the neutral value.
            dst[4 * x + 2] = whole ? pair[3] : x >= 2 ? pair[-1] : 128;  // V
            dst[4 * x + 3] = 255;
        }
        break;
    }
    default: std::memcpy(dst, src, static_cast<size_t>(width) * info.gpuBytesPerPixel); break;
    }
}

void FormatTable::packRow(const FormatInfo& info, const uint8_t* src, uint8_t* dst, uint32_t width) {
    switch (info.emulation) {
    case Emulation::Alpha8:
        for (uint32_t x = 0; x < width; ++x) dst[x] = src[4 * x + 3];
        break;
    case Emulation::Yuy2:
        for (uint32_t x = 0; x < width; x += 2) {
            const uint8_t* p0 = src + 4 * x;
            const uint8_t* p1 = (x + 1 < width) ? p0 + 4 : p0;
            uint8_t* pair = dst + (x / 2) * 4;
            pair[0] = p0[1];
            pair[1] = p0[0];
            pair[2] = p1[1];
            pair[3] = p0[2];
        }
        break;
    default: std::memcpy(dst, src, static_cast<size_t>(width) * info.gpuBytesPerPixel); break;
    }
}

}  // namespace Platform::gpu
