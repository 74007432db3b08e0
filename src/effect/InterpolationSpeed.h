#pragma once
#include "effect/MovementBase.h"

namespace Effect {

// "補間移動(時間制御)": a smooth curve through the keys, spread over the whole
// object by path length through the item's time curve.
class InterpolationSpeed : public MovementBase {
public:
    InterpolationSpeed();
    double getValue(const EffectItemNumber& item, const Render::SectionPosition& position,
                    Render::RenderContext& context) const override;
    int32_t getCurrentSection(const EffectItemNumber& item, const Render::SectionPosition& position) const override;
};

}  // namespace Effect
