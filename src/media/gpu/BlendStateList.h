#pragma once
#include <array>
#include <cstddef>

#include "media/gpu/DeviceStateNames.h"

// The 21 blend states of the system, addressed by index, each made on first
// request. Entry 0 is the premultiplied "over", entry 3 blending off.
namespace Shader {

class BlendStateList {
public:
    static constexpr size_t kCount = 21;
    BlendStateList();
    Media::ComResource<Platform::gpu::BlendState>& operator[](size_t index) { return entries[index]; }

    std::array<Media::ComResource<Platform::gpu::BlendState>, kCount> entries;
};

}  // namespace Shader
