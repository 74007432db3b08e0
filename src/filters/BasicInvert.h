#pragma once
#include "effect/EffectBase.h"
#include "effect/EffectItemCheck.h"
#include "effects/ShaderResource.h"
#include "filters/PendingRenderStep.h"

namespace Effect {

// Flips the image and inverts its luminance, hue or alpha.
class BasicInvert : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"反転";

    EffectItemCheck flipVertical{&items, L"上下反転"};
    EffectItemCheck flipHorizontal{&items, L"左右反転"};
    EffectItemCheck invertLuminance{&items, L"輝度反転"};
    EffectItemCheck invertHue{&items, L"色相反転"};
    EffectItemCheck invertAlpha{&items, L"透明度反転"};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    BasicInvert();
    std::shared_ptr<EffectBase> createInstance() const override;
    void createCommonResource() override;
    void shareResource(const EffectBase& prototype) override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;

private:
    // Until the filter draws, its step hands the input on and says so once.
    PendingRenderStep pending_;
};

}  // namespace Effect
