#include "effect/InterpolationSpeed.h"

#include <algorithm>

#include "effect/EffectItemNumber.h"
#include "effect/MovementPath.h"
#include "effect/SectionPosition.h"

namespace Effect {

InterpolationSpeed::InterpolationSpeed() {
    name = L"補間移動(時間制御)";
    valueCount = -1;
    ignoreMidpoints = -1;
    sectionAnchors = 0;
    timeControl = 1;
}

namespace {

WalkResult walk(const MovementPath& path, const EffectItemNumber& item, const Render::SectionPosition& p) {
    return walkChords(path.chords(p.count), item.applyTimeControl(p.progress));
}

// P0..Pn+2: the keys 0..n as P1..Pn+1 and the two extrapolated ends.
std::vector<MovementPath::Point> splinePoints(const MovementPath& path, int32_t n) {
    std::vector<MovementPath::Point> points;
    points.push_back(extrapolate(path.key(0), path.key(1), path.key(2)));
    for (int32_t k = 0; k <= n; ++k) points.push_back(path.key(k));
    points.push_back(extrapolate(path.key(n), path.key(n - 1), path.key(n - 2)));
    return points;
}

}  // namespace

double InterpolationSpeed::getValue(const EffectItemNumber& item, const Render::SectionPosition& p,
                                    Render::RenderContext&) const {
    const MovementPath path(item);
    const int32_t n = p.count;
    const WalkResult w = walk(path, item, p);
    const std::vector<MovementPath::Point> points = splinePoints(path, n);
    const int32_t k = std::clamp(w.segment, 0, n - 1);
    const auto& pa = points[k];
    const auto& pb = points[k + 1];
    const auto& pc = points[k + 2];
    const auto& pd = points[k + 3];
    const double lab = MovementPath::distance(pb, pa);
    const double lbc = MovementPath::distance(pc, pb);
    const double lcd = MovementPath::distance(pd, pc);
    const double y1 = (2.0 / 3.0) * lbc / std::max(lab + lbc, 0.0001);
    const double y2 = 1 - (2.0 / 3.0) * lbc / std::max(lbc + lcd, 0.0001);
    return splineValue(pa, pb, pc, pd, easeCurve(w.t, y1, y2));
}

int32_t InterpolationSpeed::getCurrentSection(const EffectItemNumber& item, const Render::SectionPosition& p) const {
    return walk(MovementPath(item), item, p).segment;
}

}  // namespace Effect
