#pragma once
#include "effect/EffectItemInteger.h"

namespace Effect {

// A scene id.
class EffectItemScene : public EffectItemInteger {
public:
    static bool hasType(uint8_t code) { return code == kScene; }
    EffectItemScene(ItemList* list, std::wstring name, int32_t value, int32_t minimum, int32_t maximum)
        : EffectItemInteger(list, std::move(name), value, minimum, maximum, kScene) {}
};

}  // namespace Effect
