#pragma once
#include <cstdint>

#include "effect/AnchorEffectBase.h"

namespace Effect {

// Base of the outputs and controls that place a whole object at X, Y, Z: its
// anchors mark the object and, while it is focused, its keys and size handles.
class MoveEffect : public AnchorEffectBase {
public:
    // Set while the anchors mark the position point itself (custom shapes,
    // or the edit setting that shows the centre).
    uint8_t showCenter = 0;
    // The effect's zoom item, resized by the size handles; none without one.
    EffectItemNumber* ownSizeItem = nullptr;
};

}  // namespace Effect
