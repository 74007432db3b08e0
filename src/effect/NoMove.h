#pragma once
#include "effect/MovementBase.h"

namespace Effect {

// "移動無し": the first key value throughout.
class NoMove : public MovementBase {
public:
    NoMove();
    double getValue(const EffectItemNumber& item, const Render::SectionPosition& position,
                    Render::RenderContext& context) const override;
};

}  // namespace Effect
