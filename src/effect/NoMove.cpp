#include "effect/NoMove.h"

#include "effect/EffectItemNumber.h"

namespace Effect {

NoMove::NoMove() {
    name = L"移動無し";
    valueCount = 1;
    ignoreMidpoints = 0;
}

double NoMove::getValue(const EffectItemNumber& item, const Render::SectionPosition&, Render::RenderContext&) const {
    return item.keyValue(0);
}

}  // namespace Effect
