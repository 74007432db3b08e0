#include "effect/LinearMove.h"

#include "effect/EffectItemNumber.h"
#include "effect/MovementPath.h"
#include "effect/SectionPosition.h"

namespace Effect {

LinearMove::LinearMove() {
    name = L"直線移動";
    valueCount = -1;
    accelerate = 0;
    decelerate = 0;
    ignoreMidpoints = 0;
}

double LinearMove::ease(double a, double b, double t, bool accel, bool decel) {
    if (!accel && !decel) return a + (b - a) * t;
    const double m = (a + b) / 2;
    return bezier(a, accel ? a : m, decel ? b : m, b, t);
}

double LinearMove::segmentValue(const EffectItemNumber& item, int32_t k, int32_t count, double t) {
    const bool accel = (item.flags & EffectItemNumber::kAccelerate) && k == 0;
    const bool decel = (item.flags & EffectItemNumber::kDecelerate) && k + 1 == count;
    return ease(item.keyValue(k), item.keyValue(k + 1), t, accel, decel);
}

double LinearMove::getValue(const EffectItemNumber& item, const Render::SectionPosition& p,
                            Render::RenderContext&) const {
    return segmentValue(item, p.index, p.count, p.offset / p.length);
}

}  // namespace Effect
