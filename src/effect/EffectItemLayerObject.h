#pragma once
#include "effect/EffectItemNumber.h"

namespace Effect {

// The camera's target layer: a number item in every respect; snapshots clone
// to a number item.
class EffectItemLayerObject : public EffectItemNumber {
public:
    using EffectItemNumber::EffectItemNumber;
};

}  // namespace Effect
