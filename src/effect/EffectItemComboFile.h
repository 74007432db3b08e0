#pragma once
#include "effect/EffectItem.h"
#include "effect/EffectItemSelect.h"

namespace Effect {

// A built-in figure out of the figure list or a figure file.
class EffectItemComboFile : public EffectItem {
public:
    using SharedList = EffectItemSelect::SharedList;

    const SharedList* options = nullptr;  // the figure names, kept by the resource side
    const wchar_t* filter = L"SvgFile (*.svg)";
    int32_t index = 0;  // -1: a file is selected
    std::wstring path;

    static bool hasType(uint8_t code) { return code == kFigure || code == kScriptFigure; }

    EffectItemComboFile(ItemList* list, std::wstring name, int32_t index, const SharedList* options,
                        uint8_t type = kFigure);
    EffectItemComboFile(const EffectItemComboFile& other) = default;

    void copyFrom(const EffectItem& other) override;
    bool equals(const EffectItem& other) const override;
    std::unique_ptr<EffectItem> clone() const override;
    std::string toString() const override;
    void fromString(std::string_view text) override;
    void fromKtoString(std::string_view value, std::string_view key, const wchar_t* effectName, bool raw) override;
    bool getFilePath(std::wstring& out) const override;
    void setFilePath(const std::wstring& value) override;

    // Empties the path; selects the index when the list has it, else the first.
    void setListValue(int32_t value);
};

}  // namespace Effect
