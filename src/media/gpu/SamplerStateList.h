#pragma once
#include <array>
#include <cstddef>

#include "media/gpu/DeviceStateNames.h"

// The seven sampler states (top mip level only, transparent border):
// 0 linear border, 1 linear clamp, 2 linear wrap, 3 linear mirror,
// 4 linear mirror/border, 5 point border, 6 point clamp.
namespace Shader {

class SamplerStateList {
public:
    static constexpr size_t kCount = 7;
    SamplerStateList();
    Media::ComResource<Platform::gpu::SamplerState>& operator[](size_t index) { return entries[index]; }

    std::array<Media::ComResource<Platform::gpu::SamplerState>, kCount> entries;
};

}  // namespace Shader
