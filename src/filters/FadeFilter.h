#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemNumber.h"

namespace Effect {

// Fades the object in at its start and out at its end.
class FadeFilter : public EffectClass<FadeFilter> {
public:
    static constexpr const wchar_t* kName = L"フェード";

    EffectItemNumber fadeIn{&items, L"イン", 0.5, 0, 10, 0.01};
    EffectItemNumber fadeOut{&items, L"アウト", 0.5, 0, 10, 0.01};

    FadeFilter();
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;

    // The alpha factor at the seconds since the start and to the end: rising
    // over the in time, falling over the out time, 1 between.
    static double factor(double in, double out, double elapsed, double remaining);
};

}  // namespace Effect
