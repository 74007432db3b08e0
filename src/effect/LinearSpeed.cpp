#include "effect/LinearSpeed.h"

#include "effect/EffectItemNumber.h"
#include "effect/LinearMove.h"
#include "effect/MovementPath.h"
#include "effect/SectionPosition.h"

namespace Effect {

namespace {

WalkResult walk(const EffectItemNumber& item, const Render::SectionPosition& p) {
    std::vector<double> chords = MovementPath(item).chords(p.count);
    if (!chords.empty()) {
        if (item.flags & EffectItemNumber::kAccelerate) chords.front() *= 2;
        if (item.flags & EffectItemNumber::kDecelerate) chords.back() *= 2;
    }
    return walkChords(chords, item.applyTimeControl(p.progress));
}

}  // namespace

LinearSpeed::LinearSpeed() {
    name = L"直線移動(時間制御)";
    valueCount = -1;
    accelerate = 0;
    decelerate = 0;
    ignoreMidpoints = -1;
    sectionAnchors = 0;
    timeControl = 1;
}

double LinearSpeed::getValue(const EffectItemNumber& item, const Render::SectionPosition& p,
                             Render::RenderContext&) const {
    const WalkResult w = walk(item, p);
    return LinearMove::segmentValue(item, w.segment, p.count, w.t);
}

int32_t LinearSpeed::getCurrentSection(const EffectItemNumber& item, const Render::SectionPosition& p) const {
    return walk(item, p).segment;
}

}  // namespace Effect
