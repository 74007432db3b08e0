#include "effect/LinearMove.h"

#include "effect/EffectItemNumber.h"
#include "effect/MovementPath.h"
#include "render/SectionPosition.h"

namespace Effect {

LinearMove::LinearMove() {
    name = L"直線移動";
    valueCount = -1;
    accelerate = 0;
    decelerate = 0;
    ignoreMidpoints = 0;
}

double LinearMove::ease(double a, double b, double t, bool accel, bool decel) {
    if (!accel && !decel)
        return a + (b - a) * t;
    const double m = (a + b) / 2;
    return bezier(a, accel ? a : m, decel ? b : m, b, t);
}

double LinearMove::getValue(const EffectItemNumber& item, const Render::SectionPosition& p,
                            Render::RenderContext&) const {
    const int32_t s = p.index;
    const bool accel = (item.flags & EffectItemNumber::kAccelerate) && s == 0;
    const bool decel = (item.flags & EffectItemNumber::kDecelerate) && s + 1 == p.count;
    return ease(item.keyValue(s), item.keyValue(s + 1), p.offset / p.length, accel, decel);
}

}  // namespace Effect
