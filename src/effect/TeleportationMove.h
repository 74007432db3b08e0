#pragma once
#include "effect/MovementBase.h"

namespace Effect {

// "瞬間移動": the section's start key throughout the section; the value jumps
// at each boundary and the end key is never shown.
class TeleportationMove : public MovementBase {
public:
    TeleportationMove();
    double getValue(const EffectItemNumber& item, const Render::SectionPosition& position,
                    Render::RenderContext& context) const override;
    bool isSegmentInterpolated(const EffectItemNumber& item, int32_t key) const override;
};

}  // namespace Effect
