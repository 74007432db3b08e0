#include "ui/settings/ItemControlTable.h"

#include <array>

#include "effect/EffectItem.h"
#include "ui/settings/EffectItemBaseControl.h"
#include "ui/settings/EffectItemButtonControl.h"
#include "ui/settings/EffectItemCheckButtonControl.h"
#include "ui/settings/EffectItemCheckControl.h"
#include "ui/settings/EffectItemColorControl.h"
#include "ui/settings/EffectItemComboFileControl.h"
#include "ui/settings/EffectItemFileControl.h"
#include "ui/settings/EffectItemFontSelectControl.h"
#include "ui/settings/EffectItemIntegerControl.h"
#include "ui/settings/EffectItemMaskSelectControl.h"
#include "ui/settings/EffectItemNumberControl.h"
#include "ui/settings/EffectItemSceneControl.h"
#include "ui/settings/EffectItemSelectButtonControl.h"
#include "ui/settings/EffectItemSelectControl.h"
#include "ui/settings/EffectItemStringControl.h"
#include "ui/settings/EffectItemTextControl.h"

namespace Component {

namespace {

using Effect::EffectItem;

// A kind whose row is still to come, or that has none.
std::shared_ptr<EffectItemBaseControl> noControl(EffectItem&, Window::ControlContainer&, EffectSetting&,
                                                 const std::shared_ptr<Effect::EffectBase>&) {
    return nullptr;
}

constexpr std::array kRows{
    ItemControlRow{EffectItem::kInteger, EffectItemIntegerControl::create},
    ItemControlRow{EffectItem::kNumber, EffectItemNumberControl::create},
    ItemControlRow{EffectItem::kCheck, EffectItemCheckControl::create},
    ItemControlRow{EffectItem::kCheckButton, EffectItemCheckButtonControl::create},
    ItemControlRow{EffectItem::kText, EffectItemTextControl::create},
    ItemControlRow{EffectItem::kString, EffectItemStringControl::create},
    ItemControlRow{EffectItem::kFile, EffectItemFileControl::create},
    ItemControlRow{EffectItem::kColor, EffectItemColorControl::create},
    ItemControlRow{EffectItem::kSelect, EffectItemSelectControl::create},
    ItemControlRow{EffectItem::kSelectButton, EffectItemSelectButtonControl::create},
    ItemControlRow{EffectItem::kScene, EffectItemSceneControl::create},
    ItemControlRow{EffectItem::kLayerRange, EffectItemIntegerControl::create},
    ItemControlRow{EffectItem::kFigure, EffectItemComboFileControl::create},
    ItemControlRow{EffectItem::kColorUnset, EffectItemColorControl::create},
    ItemControlRow{EffectItem::kMask, EffectItemMaskSelectControl::create},
    ItemControlRow{EffectItem::kFont, EffectItemFontSelectControl::create},
    ItemControlRow{EffectItem::kScriptFigure, EffectItemComboFileControl::create},
    ItemControlRow{EffectItem::kButton, EffectItemButtonControl::create},
    ItemControlRow{EffectItem::kScriptString1, EffectItemStringControl::create},
    ItemControlRow{EffectItem::kScriptString2, EffectItemStringControl::create},
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
