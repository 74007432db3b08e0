#include "ui/settings/ItemControlTable.h"

#include <array>

#include "effect/EffectItem.h"
#include "ui/settings/EffectItemBaseControl.h"
#include "ui/settings/EffectItemNumberControl.h"

namespace Component {

namespace {

using Effect::EffectItem;

// A kind whose row is still to come, or that has none.
std::shared_ptr<EffectItemBaseControl> noControl(EffectItem&, Window::ControlContainer&, EffectSetting&,
                                                 const std::shared_ptr<Effect::EffectBase>&) {
    return nullptr;
}

constexpr std::array kRows{
    ItemControlRow{EffectItem::kInteger, noControl},
    ItemControlRow{EffectItem::kNumber, EffectItemNumberControl::create},
    ItemControlRow{EffectItem::kCheck, noControl},
    ItemControlRow{EffectItem::kCheckButton, noControl},
    ItemControlRow{EffectItem::kText, noControl},
    ItemControlRow{EffectItem::kString, noControl},
    ItemControlRow{EffectItem::kFile, noControl},
    ItemControlRow{EffectItem::kColor, noControl},
    ItemControlRow{EffectItem::kSelect, noControl},
    ItemControlRow{EffectItem::kSelectButton, noControl},
    ItemControlRow{EffectItem::kScene, noControl},
    ItemControlRow{EffectItem::kLayerRange, noControl},
    ItemControlRow{EffectItem::kFigure, noControl},
    ItemControlRow{EffectItem::kColorUnset, noControl},
    ItemControlRow{EffectItem::kMask, noControl},
    ItemControlRow{EffectItem::kFont, noControl},
    ItemControlRow{EffectItem::kScriptFigure, noControl},
    ItemControlRow{EffectItem::kButton, noControl},
    ItemControlRow{EffectItem::kScriptString1, noControl},
    ItemControlRow{EffectItem::kScriptString2, noControl},
    // Hidden items hold a value the user does not edit.
    ItemControlRow{EffectItem::kHiddenInteger, noControl},
};

}  // namespace

std::span<const ItemControlRow> itemControlTable() { return kRows; }

const ItemControlRow* findItemControlRow(uint8_t type) {
    for (const ItemControlRow& row : kRows) {
        if (row.type == type) return &row;
    }
    return nullptr;
}

std::shared_ptr<EffectItemBaseControl> createItemControl(Effect::EffectItem& item, Window::ControlContainer& parent,
                                                         EffectSetting& block,
                                                         const std::shared_ptr<Effect::EffectBase>& effect) {
    const ItemControlRow* row = findItemControlRow(item.type);
    return row ? row->create(item, parent, block, effect) : nullptr;
}

}  // namespace Component
