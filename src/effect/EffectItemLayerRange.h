#pragma once
#include "effect/EffectItemInteger.h"

namespace Effect {

// The number of layers a control effect covers.
class EffectItemLayerRange : public EffectItemInteger {
public:
    static bool hasType(uint8_t code) { return code == kLayerRange; }
    EffectItemLayerRange(ItemList* list, std::wstring name, int32_t value, int32_t minimum, int32_t maximum)
        : EffectItemInteger(list, std::move(name), value, minimum, maximum, kLayerRange) {}
};

}  // namespace Effect
