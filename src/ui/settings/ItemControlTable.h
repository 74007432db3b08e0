#pragma once
// Which control the settings panel makes for each kind of effect item. The
// effect layer knows the kinds (EffectItem::TypeCode) and nothing of controls;
// this table is the one place that pairs them, one row per kind. A control
// kind joins by pointing its row at its own static create function.
#include <cstdint>
#include <memory>
#include <span>

namespace Effect {
class EffectBase;
class EffectItem;
}  // namespace Effect
namespace Window {
class ControlContainer;
}

namespace Component {

class EffectItemBaseControl;
class EffectSetting;

// Makes the row that edits `item` of `effect` (one of the block's holders)
// inside the block's container, or none when the kind has no row (yet, or by
// design: hidden items, an item whose shown flag is clear).
using ItemControlFactory = std::shared_ptr<EffectItemBaseControl> (*)(Effect::EffectItem& item,
                                                                      Window::ControlContainer& parent,
                                                                      EffectSetting& block,
                                                                      const std::shared_ptr<Effect::EffectBase>& effect);

struct ItemControlRow {
    uint8_t type;  // an Effect::EffectItem::TypeCode
    ItemControlFactory create;
};

// Every row, one per item kind, in type-code order.
std::span<const ItemControlRow> itemControlTable();

// The row of a kind; none for a code no item kind uses.
const ItemControlRow* findItemControlRow(uint8_t type);

// The control for an item of any kind; none when its kind makes none.
std::shared_ptr<EffectItemBaseControl> createItemControl(Effect::EffectItem& item, Window::ControlContainer& parent,
                                                         EffectSetting& block,
                                                         const std::shared_ptr<Effect::EffectBase>& effect);

}  // namespace Component
