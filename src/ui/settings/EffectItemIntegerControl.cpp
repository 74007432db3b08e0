#include "ui/settings/EffectItemIntegerControl.h"

#include <cmath>

#include "edit/EditService.h"
#include "edit/UndoService.h"
#include "edit/UpdateSection.h"
#include "effect/EffectBase.h"
#include "ui/framework/StyleMetrics.h"
#include "ui/settings/EffectItemLayerRangeControl.h"
#include "ui/settings/ItemControlText.h"
#include "ui/settings/SettingPanelState.h"

namespace Component {

EffectItemIntegerControl::EffectItemIntegerControl(Window::ControlContainer& parent, EffectSetting& owner,
                                                   const std::shared_ptr<Effect::EffectBase>& edited,
                                                   Effect::EffectItemInteger& integer)
    : EffectItemControl(parent, owner, edited, integer, Window::SettingItemRowHeight),
      label(frame, 0, 0, Window::SettingItemHeaderWidth, 0, itemLabel(integer), Control::TextControl::Centred),
      slider(frame, Window::SettingItemHeaderWidth + Window::SettingItemMarginWidth, 0, 0) {
    slider.hideCursorWhileDragging = panel().slideMouseHidden != 0;
    slider.hideButtons = panel().sliderButtonHidden != 0;
    slider.showSliderCursor = false;
    // The default the item was made with is not kept apart: the entry's empty
    // text falls back to the value the row opened with.
    slider.setRange(integer.value, integer.minimum, integer.maximum, 1.0);
    if (integer.placeholder != nullptr) slider.zeroText = integer.placeholder;
    slider.sliderEdit.setGroup(panel().focusChain());
    slider.beginAction = [this](Control::SliderInputControl&) { beginEdit(); };
    slider.changeAction = [this](Control::SliderInputControl&) { applyValue(); };
    slider.endAction = [this](Control::SliderInputControl&) { endEdit(); };
    updateValue();
}

EffectItemIntegerControl::~EffectItemIntegerControl() {
    // A change cut short (the block rebuilt under it) still ends its record.
    if (recordOpen_) endEdit();
}

std::shared_ptr<EffectItemBaseControl> EffectItemIntegerControl::create(
    Effect::EffectItem& item, Window::ControlContainer& parent, EffectSetting& block,
    const std::shared_ptr<Effect::EffectBase>& effect) {
    if (item.type == Effect::EffectItem::kHiddenInteger) return nullptr;
    auto* integer = item.to<Effect::EffectItemInteger>();
    if (integer == nullptr) return nullptr;
    if (item.type == Effect::EffectItem::kLayerRange)
        return std::make_shared<EffectItemLayerRangeControl>(parent, block, effect, *integer);
    return std::make_shared<EffectItemIntegerControl>(parent, block, effect, *integer);
}

void EffectItemIntegerControl::updateValue() { slider.setValue(item->value); }

void EffectItemIntegerControl::addUndoItem() {
    if (Undo::UndoService* undo = Undo::UndoService::get()) undo->addEffectUndoUpdate(effect());
}

void EffectItemIntegerControl::storeValue(Edit::UpdateSection&, int32_t v) { item->value = v; }

void EffectItemIntegerControl::beginEdit() {
    Edit::EditService* edit = Edit::EditService::instance();
    Undo::UndoService* undo = Undo::UndoService::get();
    if (recordOpen_ || edit == nullptr || undo == nullptr) return;
    recordOpen_ = true;
    const std::unique_ptr<Edit::UpdateSection> scope = edit->openSection();
    undo->openRecord(*scope);
    scope->undoOpen = false;  // the record stays open until the change ends
    addUndoItem();
}

void EffectItemIntegerControl::applyValue() {
    Edit::EditService* edit = Edit::EditService::instance();
    if (edit == nullptr) return;
    const bool own = !recordOpen_;
    if (own) beginEdit();
    {
        const std::shared_ptr<Effect::EffectBase> kept = effect();
        const std::unique_ptr<Edit::UpdateSection> scope = edit->openSection();
        scope->objectChanged = true;
        scope->changedObject = object();
        storeValue(*scope, static_cast<int32_t>(std::lround(slider.getValue())));
    }
    if (own) endEdit();
}

void EffectItemIntegerControl::endEdit() {
    if (!recordOpen_) return;
    recordOpen_ = false;
    if (Undo::UndoService* undo = Undo::UndoService::get()) undo->commitRecord();
}

}  // namespace Component
