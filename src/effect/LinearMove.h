#pragma once
#include "effect/MovementBase.h"

namespace Effect {

// "直線移動": straight from key to key in each section, eased in the first
// section with 加速 and in the last with 減速.
class LinearMove : public MovementBase {
public:
    LinearMove();
    double getValue(const EffectItemNumber& item, const Render::SectionPosition& position,
                    Render::RenderContext& context) const override;

    // From a to b at t, eased at the start and/or the end.
    static double ease(double a, double b, double t, bool accelerate, bool decelerate);
    // Straight from key k to key k + 1 at t, of sections 0..count-1: 加速
    // eases the first section, 減速 the last.
    static double segmentValue(const EffectItemNumber& item, int32_t k, int32_t count, double t);
};

}  // namespace Effect
