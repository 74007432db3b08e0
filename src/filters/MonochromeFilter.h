#pragma once
#include "effect/EffectBase.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemNumber.h"
#include "effects/ShaderResource.h"
#include "filters/PendingRenderStep.h"

namespace Effect {

// Pulls the colours, and optionally the luminance, towards one colour.
class MonochromeFilter : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"単色化";

    EffectItemNumber strength{&items, L"強さ", 100, 0, 100, 0.1};
    EffectItemColor color{&items, L"色", 255, 255, 255};
    EffectItemCheck keepLuminance{&items, L"輝度を保持する", true};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    MonochromeFilter();
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
