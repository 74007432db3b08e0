#pragma once
#include "effect/EffectItemCheck.h"
#include "effect/ItemLayout.h"

namespace Effect {

// On or off, shown as a button; snapshots clone to a check item.
class EffectItemCheckButton : public EffectItemCheck {
public:
    ItemLayout layout;

    static bool hasType(uint8_t code) { return code == kCheckButton; }

    EffectItemCheckButton(ItemList* list, std::wstring name, bool value = false)
        : EffectItemCheck(list, std::move(name), value, kCheckButton) {}
};

}  // namespace Effect
