#include "effect/RandomMove.h"

#include <algorithm>
#include <cmath>

#include "core/Curve.h"
#include "effect/EffectItemGroup.h"
#include "effect/EffectItemNumber.h"
#include "effect/MovementPath.h"
#include "effect/SectionPosition.h"

namespace Effect {

RandomMove::RandomMove() {
    name = L"ランダム移動";
    valueCount = -1;
    ignoreMidpoints = 2;
    defaultSettings = {15};
}

bool RandomMove::hasTrajectory() const { return false; }

float RandomMove::random(uint64_t b, int64_t j) {
    constexpr uint64_t k1 = 0x137bd137bd137bd1ULL, k2 = 0x37bd137bd137bd13ULL, k3 = 0x7bd137bd137bd137ULL,
                       k4 = 0xbd137bd137bd137bULL;
    const uint64_t uj = static_cast<uint64_t>(j);
    uint64_t x = b * 135829ULL + uj * 97553ULL;
    x = (x ^ (x << 17) ^ k1) + b;
    x = (x ^ (x >> 19) ^ k2) + uj;
    x = (x ^ (x << 41) ^ k3) + b;
    x = (x ^ (x >> 47) ^ k4) + uj;
    x = x * 97555ULL - (x / 135829ULL) * 135829ULL;
    x = x ^ (x << 17) ^ k1;
    x = x ^ (x >> 19) ^ k2;
    x = x ^ (x << 41) ^ k3;
    x = x ^ (x >> 47) ^ k4;
    return static_cast<float>(x % 4294967297ULL) * (1.0f / 4294967296.0f);
}

double RandomMove::getValue(const EffectItemNumber& item, const Render::SectionPosition& p,
                            Render::RenderContext&) const {
    const std::vector<double>& settings =
        item.settings.size() == defaultSettings.size() ? item.settings : defaultSettings;
    const double first = settings.empty() ? 15 : settings[0];
    // The interval, at least 1 (a NaN or a huge setting falls back to the limits).
    const int64_t interval = first >= 1 ? static_cast<int64_t>(std::min(first, 1e9)) : 1;
    const double lo = item.keyValue(0), hi = item.keyValue(1);
    const double position = p.offset / static_cast<double>(interval);
    const double whole = std::floor(position);
    const int64_t j = static_cast<int64_t>(whole);
    const double c = position - whole;
    const uint64_t seed = item.group ? static_cast<uint64_t>(std::max(item.group->indexOf(&item), 0)) : 0;
    const auto point = [&](int64_t k) { return lo + static_cast<double>(random(seed, k)) * (hi - lo); };
    const double p0 = point(j - 1), p1 = point(j), p2 = point(j + 1), p3 = point(j + 2);
    return bezier(p1, System::curveControlValue(p0, p1, p2), System::curveControlValue(p3, p2, p1), p2, c);
}

}  // namespace Effect
