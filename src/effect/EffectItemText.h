#pragma once
#include "effect/EffectItem.h"

namespace Effect {

// Multi-line text. Undo snapshots may hold only the changed middle of a long
// text (diffFrom); copying such a snapshot splices it back in.
class EffectItemText : public EffectItem {
public:
    std::wstring text;
    int32_t prefixLength = 0;
    int32_t suffixLength = 0;

    static bool hasType(uint8_t code) { return code == kText; }

    EffectItemText(ItemList* list, std::wstring name, std::wstring text = {});
    EffectItemText(const EffectItemText& other) = default;

    void copyFrom(const EffectItem& other) override;
    bool equals(const EffectItem& other) const override;
    std::unique_ptr<EffectItem> clone() const override;
    std::string toString() const override;
    void fromString(std::string_view text) override;
    // The key "text" holds hexadecimal UTF-16, low byte first.
    void fromKtoString(std::string_view value, std::string_view key, const wchar_t* effectName, bool raw) override;

    // Reduces both items to the part where their texts differ.
    void diffFrom(EffectItemText& other);
};

}  // namespace Effect
