#include "effect/MovementPath.h"

#include <algorithm>
#include <cmath>

#include "effect/EffectItemGroup.h"
#include "effect/EffectItemNumber.h"

namespace Effect {

MovementPath::MovementPath(const EffectItemNumber& item) {
    coordinates_[0] = coordinates_[1] = coordinates_[2] = &item;
    const EffectItemGroup* group = item.group;
    if (!group || group->members.empty()) return;
    const int32_t at = group->indexOf(&item);
    if (at < 0) return;
    const size_t size = group->members.size();
    for (size_t k = 1; k <= 2; ++k) {
        const EffectItemNumber* m = group->members[(static_cast<size_t>(at) + k) % size];
        if (m->movement == item.movement && m->flags == item.flags) coordinates_[k] = m;
    }
}

MovementPath::Point MovementPath::key(int32_t index) const {
    Point p;
    for (int k = 0; k < 3; ++k) p.v[k] = coordinates_[k]->keyValue(index);
    return p;
}

double MovementPath::distance(const Point& a, const Point& b) {
    double sum = 0;
    for (int k = 0; k < 3; ++k) sum += (a.v[k] - b.v[k]) * (a.v[k] - b.v[k]);
    return std::sqrt(sum);
}

std::vector<double> MovementPath::chords(int32_t sections) const {
    std::vector<double> out;
    for (int32_t k = 0; k < sections; ++k) out.push_back(distance(key(k), key(k + 1)));
    return out;
}

double bezier(double a, double c1, double c2, double b, double t) {
    const double s = 1 - t;
    return s * s * s * a + 3 * t * s * s * c1 + 3 * t * t * s * c2 + t * t * t * b;
}

WalkResult walkChords(const std::vector<double>& chords, double q) {
    WalkResult r;
    const int32_t n = static_cast<int32_t>(chords.size());
    if (n <= 1) {
        r.t = q;
        return r;
    }
    double total = 0;
    for (double d : chords) total += d;
    double d = q * total;
    for (int32_t k = 0; k < n; ++k) {
        if (d <= chords[k]) {
            r.segment = k;
            r.t = chords[k] == 0 ? 0 : d / chords[k];
            return r;
        }
        d -= chords[k];
    }
    r.segment = n - 1;
    r.t = (chords[n - 1] == 0 ? 0 : d / chords[n - 1]) + 1;
    return r;
}

MovementPath::Point extrapolate(const MovementPath::Point& a, const MovementPath::Point& b,
                                const MovementPath::Point& c) {
    MovementPath::Point r;
    for (int k = 0; k < 3; ++k) r.v[k] = (5.0 / 3.0) * a.v[k] - b.v[k] + (1.0 / 3.0) * c.v[k];
    return r;
}

double splineValue(const MovementPath::Point& pa, const MovementPath::Point& pb, const MovementPath::Point& pc,
                   const MovementPath::Point& pd, double u) {
    const double lab = MovementPath::distance(pb, pa);
    const double lbc = MovementPath::distance(pc, pb);
    const double lcd = MovementPath::distance(pd, pc);
    const double b = pb.v[0], c = pc.v[0];
    const double tb = (lab * (c - b) + lbc * (b - pa.v[0])) / std::max(lab + lbc, 0.0001);
    const double tc = (lcd * (c - b) + lbc * (pd.v[0] - c)) / std::max(lbc + lcd, 0.0001);
    return bezier(b, b + tb / 3, c - tc / 3, c, u);
}

double easeCurve(double t, double y1, double y2) { return bezier(0, y1, y2, 1, t); }

}  // namespace Effect
