#pragma once
#include <memory>

#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "filters/FilterPasses.h"

namespace Effect {

// Flips the image and inverts its luminance, hue or alpha, one pass for each
// kind of change that is on.
class BasicInvert : public EffectClass<BasicInvert> {
public:
    static constexpr const wchar_t* kName = L"反転";

    // Flip, colour inversion, alpha inversion; the records go through the
    // resource service's shared constant buffer.
    using CommonResource = FilterPasses::Shaders<3>;
    struct FlipRecord {
        int32_t offset[2];
        int32_t step[2];
    };
    struct ColorRecord {
        float offset, step, invert, unused;
    };

    EffectItemCheck flipVertical{&items, L"上下反転"};
    EffectItemCheck flipHorizontal{&items, L"左右反転"};
    EffectItemCheck invertLuminance{&items, L"輝度反転"};
    EffectItemCheck invertHue{&items, L"色相反転"};
    EffectItemCheck invertAlpha{&items, L"透明度反転"};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<CommonResource> common;

    BasicInvert();
    void createCommonResource() override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
};

}  // namespace Effect
