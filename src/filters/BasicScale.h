#pragma once
#include "effect/EffectBase.h"
#include "effect/EffectItemNumber.h"
#include "filters/PendingRenderStep.h"

namespace Effect {

// Scales the object, as a whole and per axis.
class BasicScale : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"拡大率";

    EffectItemNumber zoom{&items, L"拡大率", 100, 0, 10000, 0.001};
    EffectItemNumber x{&items, L"X", 100, 0, 10000, 0.001};
    EffectItemNumber y{&items, L"Y", 100, 0, 10000, 0.001};
    EffectItemNumber z{&items, L"Z", 100, 0, 10000, 0.001};

    BasicScale();
    std::shared_ptr<EffectBase> createInstance() const override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;

private:
    // Until the filter draws, its step hands the input on and says so once.
    PendingRenderStep pending_;
};

}  // namespace Effect
