#pragma once
#include <cstdint>

#include "effect/MovementBase.h"

namespace Effect {

// "ランダム移動": a smooth path through pseudo-random points between the two
// key values, a new point every interval frames. The points depend only on
// the item's position in its group, so the path is the same in every object.
class RandomMove : public MovementBase {
public:
    RandomMove();
    double getValue(const EffectItemNumber& item, const Render::SectionPosition& position,
                    Render::RenderContext& context) const override;
    bool hasTrajectory() const override;

    // The pseudo-random number of point j for the seed, in 0..1.
    static float random(uint64_t seed, int64_t j);
};

}  // namespace Effect
