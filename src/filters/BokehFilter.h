#pragma once
#include "effect/EffectBase.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemSelect.h"
#include "effects/ShaderResource.h"
#include "filters/PendingRenderStep.h"

namespace Effect {

// A lens blur whose highlights take the shape of a figure.
class BokehFilter : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"レンズブラー";

    EffectItemNumber range{&items, L"範囲", 5, 0, 1000, 1};
    EffectItemNumber light{&items, L"光の強さ", 32, 0, 60, 0.1};
    EffectItemSelect shape{&items, L"形状", 1, figureList()};
    EffectItemCheck fixedSize{&items, L"サイズ固定"};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    BokehFilter();
    std::shared_ptr<EffectBase> createInstance() const override;
    void createCommonResource() override;
    void shareResource(const EffectBase& prototype) override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;

private:
    static std::shared_ptr<const EffectItemSelect::SharedList> figureList();
    // Until the filter draws, its step hands the input on and says so once.
    PendingRenderStep pending_;
};

}  // namespace Effect
