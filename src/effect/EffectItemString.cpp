#include "effect/EffectItemString.h"

#include "core/TextConvert.h"

namespace Effect {

EffectItemString::EffectItemString(ItemList* list, std::wstring name, std::wstring text, uint8_t type)
    : EffectItem(list, type, std::move(name)), text(std::move(text)) {}

void EffectItemString::copyFrom(const EffectItem& other) { text = static_cast<const EffectItemString&>(other).text; }

bool EffectItemString::equals(const EffectItem& other) const {
    return text == static_cast<const EffectItemString&>(other).text;
}

std::unique_ptr<EffectItem> EffectItemString::clone() const { return std::make_unique<EffectItemString>(*this); }

std::string EffectItemString::toString() const { return System::wideToUtf8(text); }

void EffectItemString::fromString(std::string_view value) { text = System::utf8ToWide(value); }

}  // namespace Effect
