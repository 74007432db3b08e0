#include "effect/EffectItem.h"

#include "core/Exception.h"

namespace Effect {

EffectItem::EffectItem(ItemList* list, uint8_t type, std::wstring name) : type(type), name(std::move(name)) {
    if (list) list->push_back(this);
}

EffectItem::EffectItem(const EffectItem& other) : type(other.type), name(other.name), notify(other.notify) {}

EffectItem::~EffectItem() = default;

void EffectItem::fromKtoString(std::string_view value, std::string_view, const wchar_t*, bool) { fromString(value); }

bool EffectItem::getFilePath(std::wstring&) const { return false; }

void EffectItem::setFilePath(const std::wstring&) {
    throw System::notImplementException("Effect::EffectItem::setFilePath");
}

void EffectItem::throwInvalidType() {
    throw System::messageException("Effect::EffectItem::to", "invalid effect item type.");
}

}  // namespace Effect
