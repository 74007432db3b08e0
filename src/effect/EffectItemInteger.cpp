#include "effect/EffectItemInteger.h"

#include "core/NumberText.h"

namespace Effect {

EffectItemInteger::EffectItemInteger(ItemList* list, std::wstring name, int32_t value, int32_t minimum, int32_t maximum,
                                     uint8_t type)
    : EffectItem(list, type, std::move(name)), value(value), minimum(minimum), maximum(maximum) {}

void EffectItemInteger::copyFrom(const EffectItem& other) {
    const auto& o = static_cast<const EffectItemInteger&>(other);
    value = o.value;
    minimum = o.minimum;
    maximum = o.maximum;
}

bool EffectItemInteger::equals(const EffectItem& other) const {
    return value == static_cast<const EffectItemInteger&>(other).value;
}

std::unique_ptr<EffectItem> EffectItemInteger::clone() const { return std::make_unique<EffectItemInteger>(*this); }

std::string EffectItemInteger::toString() const { return std::to_string(value); }

void EffectItemInteger::fromString(std::string_view text) { value = System::stoi(text); }

}  // namespace Effect
