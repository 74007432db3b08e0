#include "effect/EffectItemCheck.h"

#include "core/NumberText.h"

namespace Effect {

EffectItemCheck::EffectItemCheck(ItemList* list, std::wstring name, bool value, uint8_t type)
    : EffectItem(list, type, std::move(name)), value(value ? 1 : 0) {}

void EffectItemCheck::copyFrom(const EffectItem& other) { value = static_cast<const EffectItemCheck&>(other).value; }

bool EffectItemCheck::equals(const EffectItem& other) const {
    return value == static_cast<const EffectItemCheck&>(other).value;
}

std::unique_ptr<EffectItem> EffectItemCheck::clone() const { return std::make_unique<EffectItemCheck>(*this); }

std::string EffectItemCheck::toString() const { return value ? "1" : "0"; }

void EffectItemCheck::fromString(std::string_view text) { value = System::stoi(text) != 0 ? 1 : 0; }

}  // namespace Effect
