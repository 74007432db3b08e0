#pragma once
#include "effect/EffectItem.h"
#include "effect/EffectItemSelect.h"

namespace Effect {

class EffectItemCheck;

// A mask source: a figure of the figure list, an image file, a script mask
// ("*" and the buffer name) or a scene. The scene is in use when its id is 0
// or more, else the list entry when its index is 0 or more, else the path;
// the setters keep only one of them set.
class EffectItemMaskSelect : public EffectItem {
public:
    using SharedList = EffectItemSelect::SharedList;

    const SharedList* options = nullptr;  // the figure list
    int32_t index = 1;
    int32_t sceneId = -1;
    std::wstring path;
    EffectItemCheck* fitScene = nullptr;  // "シーンの長さを合わせる" of the same effect

    static bool hasType(uint8_t code) { return code == kMask; }

    EffectItemMaskSelect(ItemList* list, std::wstring name, EffectItemCheck* fitScene = nullptr);
    EffectItemMaskSelect(const EffectItemMaskSelect& other) = default;

    void copyFrom(const EffectItem& other) override;
    bool equals(const EffectItem& other) const override;
    std::unique_ptr<EffectItem> clone() const override;
    std::string toString() const override;
    void fromString(std::string_view text) override;
    bool getFilePath(std::wstring& out) const override;
    void setFilePath(const std::wstring& value) override;

    void setListValue(int32_t value);
    void setSceneValue(int32_t id);
};

}  // namespace Effect
