#pragma once
#include "effect/EffectBase.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemNumber.h"
#include "filters/PendingRenderStep.h"

namespace Effect {

// Shakes the object.
class QuakeFilter : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"振動";

    EffectItemNumber x{&items, L"X", 10, -500, 500, 1};
    EffectItemNumber y{&items, L"Y", 10, -500, 500, 1};
    EffectItemNumber z{&items, L"Z", 0, -500, 500, 1};
    EffectItemNumber period{&items, L"周期", 1, 1, 100, 1};
    EffectItemCheck randomStrength{&items, L"ランダムに強さを変える", true};
    EffectItemCheck complex{&items, L"複雑に振動"};

    QuakeFilter();
    std::shared_ptr<EffectBase> createInstance() const override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;

private:
    // Until the filter draws, its step hands the input on and says so once.
    PendingRenderStep pending_;
};

}  // namespace Effect
