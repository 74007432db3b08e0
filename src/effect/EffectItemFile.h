#pragma once
#include "effect/EffectItem.h"

namespace Effect {

// A file path, held with its leading file-name variable expanded.
class EffectItemFile : public EffectItem {
public:
    const wchar_t* filter = L"AllFile (*.*)";  // file-dialog filter
    std::wstring path;
    const wchar_t* placeholder = nullptr;  // shown while the path is empty
    uint8_t clearOnCancel = 0;             // cancelling the file dialog empties the path

    static bool hasType(uint8_t code) { return code == kFile; }

    EffectItemFile(ItemList* list, std::wstring name, std::wstring path = {});
    EffectItemFile(const EffectItemFile& other) = default;

    void copyFrom(const EffectItem& other) override;
    bool equals(const EffectItem& other) const override;
    std::unique_ptr<EffectItem> clone() const override;
    std::string toString() const override;
    void fromString(std::string_view text) override;
    bool getFilePath(std::wstring& out) const override;
    void setFilePath(const std::wstring& value) override;
};

}  // namespace Effect
