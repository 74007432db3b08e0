#pragma once
#include "effect/EffectBase.h"
#include "effect/EffectItemNumber.h"
#include "filters/PendingRenderStep.h"

namespace Effect {

// Makes the object more transparent.
class BasicAlpha : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"透明度";

    EffectItemNumber alpha{&items, L"透明度", 0, 0, 100, 0.01};

    BasicAlpha();
    std::shared_ptr<EffectBase> createInstance() const override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;

private:
    // Until the filter draws, its step hands the input on and says so once.
    PendingRenderStep pending_;
};

}  // namespace Effect
