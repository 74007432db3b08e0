#pragma once
#include <array>
#include <cstddef>

#include "media/gpu/DeviceStateNames.h"

// The three rasterizer states: 0 solid without culling (every pass), 1 solid
// culling back faces, 2 wireframe.
namespace Shader {

class RasterizerStateList {
public:
    static constexpr size_t kCount = 3;
    RasterizerStateList();
    Media::ComResource<Platform::gpu::RasterizerState>& operator[](size_t index) { return entries[index]; }

    std::array<Media::ComResource<Platform::gpu::RasterizerState>, kCount> entries;
};

}  // namespace Shader
