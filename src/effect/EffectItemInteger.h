#pragma once
#include "effect/EffectItem.h"

namespace Effect {

// A signed 32-bit value with a range; also the scene (11), layer-range (12)
// and hidden (200) integer kinds.
class EffectItemInteger : public EffectItem {
public:
    int32_t value = 0;
    int32_t minimum = 0;
    int32_t maximum = 0;
    const wchar_t* placeholder = nullptr;  // shown for the unset value

    static bool hasType(uint8_t code) {
        return code == kInteger || code == kScene || code == kLayerRange || code == kHiddenInteger;
    }

    EffectItemInteger(ItemList* list, std::wstring name, int32_t value, int32_t minimum, int32_t maximum,
                      uint8_t type = kInteger);
    EffectItemInteger(const EffectItemInteger& other) = default;

    void copyFrom(const EffectItem& other) override;
    bool equals(const EffectItem& other) const override;
    std::unique_ptr<EffectItem> clone() const override;
    std::string toString() const override;
    void fromString(std::string_view text) override;
};

}  // namespace Effect
