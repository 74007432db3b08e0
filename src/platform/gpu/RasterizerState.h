#pragma once
#include <cstdint>

namespace Platform::gpu {

enum FillMode : uint8_t { kFillWireframe = 2, kFillSolid = 3 };
enum CullMode : uint8_t { kCullNone = 1, kCullFront = 2, kCullBack = 3 };

struct RasterizerDesc {
    uint8_t fill = kFillSolid;
    uint8_t cull = kCullBack;
    uint8_t frontCounterClockwise = 0;  // front faces are clockwise on the target by default
};

// An immutable rasterizer state made by the device.
class RasterizerState {
public:
    explicit RasterizerState(const RasterizerDesc& desc) : desc_(desc) {}
    const RasterizerDesc& desc() const { return desc_; }

private:
    RasterizerDesc desc_;
};

}  // namespace Platform::gpu
