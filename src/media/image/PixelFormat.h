#pragma once
#include <cstdint>

// Pixel formats are DXGI format numbers everywhere.
namespace Media::PixelFormat {

inline constexpr int32_t kR16G16B16A16Float = 10;
inline constexpr int32_t kR16G16B16A16Unorm = 11;
inline constexpr int32_t kR16G16B16A16Snorm = 13;  // the YC48 form
inline constexpr int32_t kR8G8B8A8Unorm = 28;
inline constexpr int32_t kR32Float = 41;
inline constexpr int32_t kA8Unorm = 65;
inline constexpr int32_t kG8R8G8B8Unorm = 69;  // YUY2 bytes on the GPU
inline constexpr int32_t kB8G8R8A8Unorm = 87;
inline constexpr int32_t kB8G8R8X8Unorm = 88;
inline constexpr int32_t kYuy2 = 107;

}  // namespace Media::PixelFormat
