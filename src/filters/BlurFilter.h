#pragma once
#include "effect/EffectBase.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemNumber.h"
#include "effects/ShaderResource.h"
#include "filters/PendingRenderStep.h"

namespace Effect {

// Blurs along the rays from a centre.
class BlurFilter : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"放射ブラー";

    EffectItemNumber range{&items, L"範囲", 20, 0, 80, 0.01};
    EffectItemNumber x{&items, L"X", 0, -2000, 2000, 0.1};
    EffectItemNumber y{&items, L"Y", 0, -2000, 2000, 0.1};
    EffectItemCheck fixedSize{&items, L"サイズ固定"};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    BlurFilter();
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
