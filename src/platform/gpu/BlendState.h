#pragma once
#include <cstdint>

namespace Platform::gpu {

// Blend factors and operations with the program's platform numbers.
enum BlendFactor : uint8_t {
    kBlendZero = 1,
    kBlendOne = 2,
    kBlendSrcColor = 3,
    kBlendInvSrcColor = 4,
    kBlendSrcAlpha = 5,
    kBlendInvSrcAlpha = 6,
    kBlendDestAlpha = 7,
    kBlendInvDestAlpha = 8,
    kBlendDestColor = 9,
    kBlendInvDestColor = 10,
    kBlendSrcAlphaSat = 11,
    kBlendFactor = 14,
    kBlendInvBlendFactor = 15,
    kBlendSrc1Color = 16,
    kBlendInvSrc1Color = 17,
    kBlendSrc1Alpha = 18,
    kBlendInvSrc1Alpha = 19,
};
enum BlendOp : uint8_t {
    kBlendOpAdd = 1,
    kBlendOpSubtract = 2,
    kBlendOpRevSubtract = 3,
    kBlendOpMin = 4,
    kBlendOpMax = 5
};

// The blend of render target 0 (the program never uses independent blending).
struct BlendDesc {
    uint8_t enable = 0;
    uint8_t src = kBlendOne, dst = kBlendZero, op = kBlendOpAdd;
    uint8_t srcAlpha = kBlendOne, dstAlpha = kBlendZero, opAlpha = kBlendOpAdd;
    uint8_t writeMask = 0xF;
};

// An immutable blend state made by the device.
class BlendState {
public:
    explicit BlendState(const BlendDesc& desc) : desc_(desc) {}
    const BlendDesc& desc() const { return desc_; }
    // The pixel shader's second output feeds the blend (dual-source blending).
    bool usesSecondSource() const {
        auto second = [](uint8_t f) { return f >= kBlendSrc1Color && f <= kBlendInvSrc1Alpha; };
        return desc_.enable &&
               (second(desc_.src) || second(desc_.dst) || second(desc_.srcAlpha) || second(desc_.dstAlpha));
    }

private:
    BlendDesc desc_;
};

}  // namespace Platform::gpu
