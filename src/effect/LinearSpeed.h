#pragma once
#include "effect/MovementBase.h"

namespace Effect {

// "直線移動(時間制御)": straight lines between the keys, spread over the whole
// object by path length through the item's time curve.
class LinearSpeed : public MovementBase {
public:
    LinearSpeed();
    double getValue(const EffectItemNumber& item, const Render::SectionPosition& position,
                    Render::RenderContext& context) const override;
    int32_t getCurrentSection(const EffectItemNumber& item, const Render::SectionPosition& position) const override;
};

}  // namespace Effect
