#pragma once
#include "effect/EffectItem.h"

namespace Effect {

// Single-line text; also the script kinds 100 and 101.
class EffectItemString : public EffectItem {
public:
    std::wstring text;

    static bool hasType(uint8_t code) { return code == kString || code == kScriptString1 || code == kScriptString2; }

    EffectItemString(ItemList* list, std::wstring name, std::wstring text = {}, uint8_t type = kString);
    EffectItemString(const EffectItemString& other) = default;

    void copyFrom(const EffectItem& other) override;
    bool equals(const EffectItem& other) const override;
    std::unique_ptr<EffectItem> clone() const override;
    std::string toString() const override;
    void fromString(std::string_view text) override;
};

}  // namespace Effect
