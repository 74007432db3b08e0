#pragma once
#include "effect/EffectItem.h"

namespace Effect {

// On or off.
class EffectItemCheck : public EffectItem {
public:
    uint8_t value = 0;
    uint8_t shown = 1;  // cleared by the effect's updateItemState to hide the control

    static bool hasType(uint8_t code) { return code == kCheck || code == kCheckButton; }

    EffectItemCheck(ItemList* list, std::wstring name, bool value = false, uint8_t type = kCheck);
    EffectItemCheck(const EffectItemCheck& other) = default;

    void copyFrom(const EffectItem& other) override;
    bool equals(const EffectItem& other) const override;
    std::unique_ptr<EffectItem> clone() const override;
    std::string toString() const override;
    void fromString(std::string_view text) override;
};

}  // namespace Effect
