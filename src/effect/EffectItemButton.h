#pragma once
#include <functional>

#include "effect/EffectItem.h"
#include "effect/ItemLayout.h"

namespace Effect {

// A push button; it holds no value.
class EffectItemButton : public EffectItem {
public:
    std::function<void()> action;  // run by its control
    ItemLayout layout;

    static bool hasType(uint8_t code) { return code == kButton; }

    EffectItemButton(ItemList* list, std::wstring name, std::function<void()> action = {});
    EffectItemButton(const EffectItemButton& other) = default;

    void copyFrom(const EffectItem& other) override;
    bool equals(const EffectItem& other) const override;
    std::unique_ptr<EffectItem> clone() const override;
    std::string toString() const override;
    void fromString(std::string_view text) override;
};

}  // namespace Effect
