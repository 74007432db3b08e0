#pragma once
#include "effect/EffectBase.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemNumber.h"
#include "effects/ShaderResource.h"
#include "filters/PendingRenderStep.h"

namespace Effect {

// Blurs along one direction.
class BlurDirectionFilter : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"方向ブラー";

    EffectItemNumber range{&items, L"範囲", 20, 0, 1000, 1};
    EffectItemNumber angle{&items, L"角度", 50, -3600, 3600, 0.01};
    EffectItemCheck fixedSize{&items, L"サイズ固定"};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    BlurDirectionFilter();
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
