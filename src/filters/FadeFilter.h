#pragma once
#include "effect/EffectBase.h"
#include "effect/EffectItemNumber.h"
#include "filters/PendingRenderStep.h"

namespace Effect {

// Fades the object in at its start and out at its end.
class FadeFilter : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"フェード";

    EffectItemNumber fadeIn{&items, L"イン", 0.5, 0, 10, 0.01};
    EffectItemNumber fadeOut{&items, L"アウト", 0.5, 0, 10, 0.01};

    FadeFilter();
    std::shared_ptr<EffectBase> createInstance() const override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;

private:
    // Until the filter draws, its step hands the input on and says so once.
    PendingRenderStep pending_;
};

}  // namespace Effect
