#include "effect/TeleportationMove.h"

#include "effect/EffectItemNumber.h"
#include "effect/SectionPosition.h"

namespace Effect {

TeleportationMove::TeleportationMove() {
    name = L"瞬間移動";
    valueCount = -1;
}

double TeleportationMove::getValue(const EffectItemNumber& item, const Render::SectionPosition& p,
                                   Render::RenderContext&) const {
    return item.keyValue(p.index);
}

bool TeleportationMove::isSegmentInterpolated(const EffectItemNumber& item, int32_t key) const {
    return key < static_cast<int32_t>(item.values.size()) - 1;
}

}  // namespace Effect
