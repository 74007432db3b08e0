#pragma once
#include "effect/EffectBase.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemNumber.h"
#include "effects/ShaderResource.h"
#include "filters/PendingRenderStep.h"

namespace Effect {

// Blurs the object's image; the one blur every other effect blurs with.
class BokashiFilter : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"ぼかし";

    EffectItemNumber range{&items, L"範囲", 5, 0, 1000, 1};
    EffectItemNumber aspect{&items, L"縦横比", 0, -100, 100, 0.01};
    EffectItemNumber light{&items, L"光の強さ", 0, 0, 60, 0.1};
    EffectItemCheck fixedSize{&items, L"サイズ固定"};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    BokashiFilter();
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
