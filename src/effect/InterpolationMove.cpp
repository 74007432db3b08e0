#include "effect/InterpolationMove.h"

#include "effect/EffectItemNumber.h"
#include "effect/ModelQueries.h"
#include "effect/MovementPath.h"
#include "effect/RenderContext.h"

namespace Effect {

InterpolationMove::InterpolationMove() {
    name = L"補間移動";
    valueCount = -1;
    accelerate = 1;
    decelerate = 1;
    ignoreMidpoints = -1;
}

namespace {

// Length in frames of section i of the object.
double sectionLength(const Edit::Object& object, int32_t i) {
    return Render::SectionPosition::sectionLength(modelQueries().objectStart(object), modelQueries().objectEnd(object),
                                                  modelQueries().objectMidpoints(object), i);
}

double ratio(double f, double sum) { return 0.75 * f / (sum < 2 ? 1 : sum); }

}  // namespace

double InterpolationMove::getValue(const EffectItemNumber& item, const Render::SectionPosition& p,
                                   Render::RenderContext& context) const {
    const MovementPath path(item);
    const int32_t s = p.index;
    const int32_t n = p.count;
    const MovementPath::Point pb = path.key(s), pc = path.key(s + 1);
    const MovementPath::Point a = path.key(s - 1), d = path.key(s + 2);
    MovementPath::Point pa = a, pd = d;
    if (s <= 0 && !(item.flags & EffectItemNumber::kAccelerate)) pa = extrapolate(pb, pc, d);
    if (s >= n - 1 && !(item.flags & EffectItemNumber::kDecelerate)) pd = extrapolate(pc, pb, a);

    double f = p.length, g = p.length, h = p.length;
    if (context.object) {
        f = sectionLength(*context.object, s);
        g = s <= 0 ? f : sectionLength(*context.object, s - 1);
        h = s >= n - 1 ? f : sectionLength(*context.object, s + 1);
    }
    const double t = p.offset / p.length;
    const double u = easeCurve(t, ratio(f, f + g), 1 - ratio(f, f + h));
    return splineValue(pa, pb, pc, pd, u);
}

}  // namespace Effect
