#pragma once
// Which control the settings panel makes for each kind of effect item. The
// effect layer knows the kinds (EffectItem::TypeCode) and nothing of controls;
// this table is the one place that pairs them, one row per kind.
#include <cstdint>
#include <memory>
#include <span>

namespace Effect {
class EffectItem;
}
namespace Window {
class WindowClient;
}

namespace Component {

class EffectItemControl;
class EffectSetting;

// Makes the control that edits `item` inside `parent`, or none when the kind
// has no control (yet, or by design: hidden items).
using ItemControlFactory = std::shared_ptr<EffectItemControl> (*)(Effect::EffectItem& item,
                                                                  Window::WindowClient& parent,
                                                                  EffectSetting& setting);

struct ItemControlRow {
    uint8_t type;  // an Effect::EffectItem::TypeCode
    ItemControlFactory create;
};

// Every row, one per item kind, in type-code order.
std::span<const ItemControlRow> itemControlTable();

// The row of a kind; none for a code no item kind uses.
const ItemControlRow* findItemControlRow(uint8_t type);

// The control for an item of any kind; none when its kind makes none.
std::shared_ptr<EffectItemControl> createItemControl(Effect::EffectItem& item, Window::WindowClient& parent,
                                                     EffectSetting& setting);

}  // namespace Component
