#include "effect/EffectItemButton.h"

namespace Effect {

EffectItemButton::EffectItemButton(ItemList* list, std::wstring name, std::function<void()> action)
    : EffectItem(list, kButton, std::move(name)), action(std::move(action)) {}

void EffectItemButton::copyFrom(const EffectItem&) {}

bool EffectItemButton::equals(const EffectItem&) const { return true; }

std::unique_ptr<EffectItem> EffectItemButton::clone() const { return std::make_unique<EffectItemButton>(*this); }

std::string EffectItemButton::toString() const { return {}; }

void EffectItemButton::fromString(std::string_view) {}

}  // namespace Effect
