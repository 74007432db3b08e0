#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemNumber.h"

namespace Effect {

// Shakes the object.
class QuakeFilter : public EffectClass<QuakeFilter> {
public:
    static constexpr const wchar_t* kName = L"振動";

    EffectItemNumber x{&items, L"X", 10, -500, 500, 1};
    EffectItemNumber y{&items, L"Y", 10, -500, 500, 1};
    EffectItemNumber z{&items, L"Z", 0, -500, 500, 1};
    EffectItemNumber period{&items, L"周期", 1, 1, 100, 1};
    EffectItemCheck randomStrength{&items, L"ランダムに強さを変える", true};
    EffectItemCheck complex{&items, L"複雑に振動"};

    QuakeFilter();
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;

    // The seed of an object's shake: its frames, piece and layer.
    static int64_t seed(int32_t start, int32_t end, int32_t piece, int32_t layer);
    // The three random strengths (0 .. 1) of a cycle of the period.
    static void strengths(int64_t seed, int64_t cycle, uint64_t salt, double (&u)[3]);
    // The cycle the time falls in and the swing (-1 .. 1) there; a period of
    // one frame swings fully from side to side every frame.
    static void swing(double seconds, int32_t periodFrames, double frameSeconds, int64_t& cycle, double& e);
};

}  // namespace Effect
