#pragma once
#include "effect/MovementBase.h"

namespace Effect {

// "補間移動": a smooth curve through the keys, section by section, with the
// speed kept continuous across sections of different lengths.
class InterpolationMove : public MovementBase {
public:
    InterpolationMove();
    double getValue(const EffectItemNumber& item, const Render::SectionPosition& position,
                    Render::RenderContext& context) const override;
};

}  // namespace Effect
