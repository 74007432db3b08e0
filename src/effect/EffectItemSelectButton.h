#pragma once
#include "effect/EffectItemSelect.h"
#include "effect/ItemLayout.h"

namespace Effect {

// An option shown as a button with a popup; snapshots clone to a select item.
class EffectItemSelectButton : public EffectItemSelect {
public:
    ItemLayout layout;

    static bool hasType(uint8_t code) { return code == kSelectButton; }

    EffectItemSelectButton(ItemList* list, std::wstring name, int32_t index, std::shared_ptr<const SharedList> options)
        : EffectItemSelect(list, std::move(name), index, std::move(options), kSelectButton) {}
};

}  // namespace Effect
