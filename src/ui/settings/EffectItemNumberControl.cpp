#include "ui/settings/EffectItemNumberControl.h"

#include <algorithm>
#include <cmath>

#include "core/StringHelper.h"
#include "core/TranslateService.h"
#include "edit/Object.h"
#include "edit/ObjectEffectCommands.h"
#include "effect/EffectBase.h"
#include "effect/EffectService.h"
#include "effect/MovementBase.h"
#include "effect/MovementDefine.h"
#include "platform/window/Menu.h"
#include "ui/framework/Host.h"
#include "ui/framework/PopupMenu.h"
#include "ui/framework/StyleMetrics.h"
#include "ui/settings/EffectSetting.h"
#include "ui/settings/SettingPanelState.h"

namespace Component {

namespace {

using Translate::TranslateService;
using Bitmaps = Window::StyleBitmapList;

std::wstring effectText(const wchar_t* text) { return Translate::translated(TranslateService::Table::Effect, text); }

// The registered entry of the item's movement, for its display name.
const Effect::MovementDefine* movementDefine(const Effect::MovementBase* movement) {
    const Effect::EffectService* effects = Effect::EffectService::get();
    if (effects == nullptr || movement == nullptr) return nullptr;
    for (const auto& [name, define] : effects->movements())
        if (define->movement().get() == movement) return define.get();
    return nullptr;
}

}  // namespace

std::shared_ptr<EffectItemBaseControl> EffectItemNumberControl::create(
    Effect::EffectItem& item, Window::ControlContainer& parent, EffectSetting& block,
    const std::shared_ptr<Effect::EffectBase>& effect) {
    auto* number = item.to<Effect::EffectItemNumber>();
    if (number == nullptr || number->shown == 0) return nullptr;
    return std::make_shared<EffectItemNumberControl>(parent, block, effect, *number);
}

EffectItemNumberControl::EffectItemNumberControl(Window::ControlContainer& parent, EffectSetting& block,
                                                 const std::shared_ptr<Effect::EffectBase>& effect,
                                                 Effect::EffectItemNumber& number)
    : EffectItemControl(parent, block, effect, number, Window::SettingItemHeight + 2),
      nameButton(frame, labelWidth, effectText(number.name.c_str())),
      sliderArea(frame, labelWidth + marginWidth, 0, 0, 0),
      firstSlider(sliderArea, 0, 0, 0),
      secondSlider(sliderArea, 0, 0, 0) {
    // The movement in the name button's tip, with its setting value when it has one.
    const Effect::MovementBase& movement = *item->movement;
    const Effect::MovementDefine* define = movementDefine(&movement);
    std::wstring tip = define ? effectText(define->getDisplayName().c_str()) : effectText(movement.name);
    if (!movement.defaultSettings.empty()) {
        const std::vector<double>& settings = item->getMovementSettings();
        if (!settings.empty()) tip += L" : " + System::formatDecimal(settings.front());
    }
    nameButton.toolTipText = tip;
    if (movement.timeControl != 0) {
        nameButton.iconToolTipText = L"時間制御を編集";
        nameButton.setIcon(Bitmaps::Clock);
    } else if (!movement.defaultSettings.empty()) {
        nameButton.iconToolTipText = L"設定値を変更";
        nameButton.setIcon(Bitmaps::Setting);
    }
    nameButton.clickAction = [this](Control::ButtonControl&) { showMovementMenu(); };
    nameButton.iconAction = [this](Control::ButtonControl&) { editMovementDetail(); };

    setUpSlider(firstSlider, 0);
    setUpSlider(secondSlider, 1);
    keyCount = static_cast<int32_t>(item->values.size());
    shownKey = getShownKey();
    updateValue();
    procMove();
}

void EffectItemNumberControl::setUpSlider(Control::SliderInputControl& slider, int32_t offset) {
    const SettingPanelState& state = panel();
    const double scale = item->scale;
    slider.hideCursorWhileDragging = state.slideMouseHidden != 0;
    slider.hideButtons = state.sliderButtonHidden != 0;
    slider.showSliderCursor = state.sliderCursorHidden == 0;
    slider.setRange(item->defaultValue / scale, item->minimum / scale, item->maximum / scale, 1.0 / scale);
    if (item->placeholder != nullptr) slider.zeroText = item->placeholder;
    slider.changeAction = [this, offset](Control::SliderInputControl& s) {
        applyValue(clampKey(shownKey + offset), s.getValue());
    };
    slider.beginAction = [this](Control::SliderInputControl&) { beginGesture(true); };
    slider.endAction = [this](Control::SliderInputControl&) { endGesture(); };
    slider.sliderEdit.setGroup(panel().focusChain());
}

int32_t EffectItemNumberControl::clampKey(int32_t index) const {
    if (index > keyCount - 1) return keyCount - 1;
    if (index < 0) return 0;
    return index;
}

bool EffectItemNumberControl::pairMode() const {
    const int32_t mode = panel().sectionViewMode;
    return (mode == SettingPanelState::kWholeSection && keyCount >= 2) ||
           (mode == SettingPanelState::kTwoPointsOnly && keyCount == 2);
}

int32_t EffectItemNumberControl::getShownKey() const {
    const int32_t limit = std::max(keyCount - (pairMode() ? 2 : 1), 0);
    return std::min(limit, panel().shownIndex);
}

void EffectItemNumberControl::procMove() {
    const int32_t w = fullRect.w;
    const int32_t h = labelWidth;
    const int32_t m = marginWidth;
    if (pairMode()) {
        const int32_t half = std::max((w - 3 * m - h) / 2 - 1, 1);
        firstSlider.layoutX = 0, firstSlider.layoutY = 0, firstSlider.layoutW = half, firstSlider.layoutH = 0;
        secondSlider.layoutX = -half, secondSlider.layoutY = 0, secondSlider.layoutW = half, secondSlider.layoutH = 0;
        secondSlider.visible = true;
    } else {
        firstSlider.layoutX = 0, firstSlider.layoutY = 0, firstSlider.layoutW = 0, firstSlider.layoutH = 0;
        secondSlider.layoutX = secondSlider.layoutY = secondSlider.layoutW = secondSlider.layoutH = -1;
        secondSlider.visible = false;
    }
    EffectItemBaseControl::procMove();
}

void EffectItemNumberControl::updateValue() {
    const bool pairBefore = pairMode();
    keyCount = static_cast<int32_t>(item->values.size());
    if (pairMode() != pairBefore) procMove();
    shownKey = getShownKey();
    const int32_t k = shownKey;
    const double scale = item->scale;
    firstSlider.setValue(item->values[static_cast<size_t>(item->clampValueIndex(k))] / scale);
    firstSlider.startMark = k == 0;
    firstSlider.endMark = k + 1 == keyCount;
    if (pairMode()) {
        secondSlider.setValue(item->values[static_cast<size_t>(item->clampValueIndex(k + 1))] / scale);
        secondSlider.startMark = k == -1;
        secondSlider.endMark = k + 2 == keyCount;
    }
    for (Control::SliderInputControl* slider : {&firstSlider, &secondSlider}) {
        slider->sliderButton.invalidate();
        slider->sliderEdit.invalidate();
        slider->invalidate();
    }
}

void EffectItemNumberControl::updateSection() {
    const int32_t k = getShownKey();
    if (k == shownKey) return;
    shownKey = k;
    updateValue();
}

void EffectItemNumberControl::applyValue(int32_t index, double value) {
    const std::vector<std::shared_ptr<Effect::EffectBase>> twins = getTwinEffects();
    applyStep([&](Edit::UpdateSection&) {
        item->setValue(value, index);
        // The same item of the twins: same place in the list, kind, name, movement and count.
        const auto& own = effect()->items;
        const auto at = std::find(own.begin(), own.end(), item);
        if (at == own.end()) return;
        const size_t i = static_cast<size_t>(at - own.begin());
        for (const std::shared_ptr<Effect::EffectBase>& twin : twins) {
            if (i >= twin->items.size()) continue;
            Effect::EffectItem* other = twin->items[i];
            if (other->type != item->type || other->name != item->name) continue;
            auto* number = dynamic_cast<Effect::EffectItemNumber*>(other);
            if (number == nullptr || number->movement != item->movement || number->values.size() != item->values.size())
                continue;
            if (index < 0 || index >= static_cast<int32_t>(number->values.size())) continue;
            number->values[static_cast<size_t>(index)] =
                number->clampValue(Effect::EffectItemNumber::roundStep(number->scale * value));
        }
    });
}

void EffectItemNumberControl::showMovementMenu() {
    const std::shared_ptr<Edit::Object> shown = object();
    if (!shown) return;
    Effect::EffectItemNumber* number = item;
    Window::PopupMenu menu;
    if (Window::host().movement) {
        Window::host().movement(menu, shown, *number);
    } else if (const Effect::EffectService* effects = Effect::EffectService::get()) {
        for (const Effect::MovementDefine* define : effects->getMovementMenuList(number->movementListAdjuster)) {
            const std::wstring name = define->getName();
            const Window::BaseMenu::Item entry =
                menu.insertItem(effectText(define->getDisplayName().c_str()),
                                [shown, number, name] { Edit::EditCommand::setMovement(shown, *number, name); });
            if (define->movement().get() == number->movement) {
                entry.setRadioCheck();
                Platform::window::checkMenuItem(entry.menu, static_cast<uint32_t>(entry.id), true);
            }
        }
    }
    const Effect::MovementBase& movement = *number->movement;
    bool separated = false;
    const auto flagEntry = [&](const wchar_t* label, uint32_t bit) {
        if (!separated) menu.insertSeparator();
        separated = true;
        const Window::BaseMenu::Item entry =
            menu.insertItem(label, [shown, number, bit] { Edit::EditCommand::toggleMovementFlag(shown, *number, bit); });
        if ((number->flags & bit) != 0)
            Platform::window::checkMenuItem(entry.menu, static_cast<uint32_t>(entry.id), true);
    };
    if (movement.accelerate >= 0) flagEntry(L"加速", Effect::EffectItemNumber::kAccelerate);
    if (movement.decelerate >= 0) flagEntry(L"減速", Effect::EffectItemNumber::kDecelerate);
    if ((movement.ignoreMidpoints == 0 || movement.ignoreMidpoints == 1) && movement.valueCount < 0)
        flagEntry(L"中間点無視", Effect::EffectItemNumber::kIgnoreMidpoints);
    if (!movement.defaultSettings.empty()) {
        menu.insertSeparator();
        const std::vector<double>& settings = number->getMovementSettings();
        std::wstring label = Translate::translated(TranslateService::Table::Menu, L"設定");
        if (!settings.empty()) label += L" : " + System::formatDecimal(settings.front());
        menu.insertItem(label, [shown, number] { Edit::EditCommand::inputMovementSettings(shown, *number); });
    }
    menu.show();
}

void EffectItemNumberControl::editMovementDetail() {
    const std::shared_ptr<Edit::Object> shown = object();
    if (!shown) return;
    const Effect::MovementBase& movement = *item->movement;
    if (movement.timeControl != 0) {
        if (Window::host().editTimeControl) Window::host().editTimeControl(shown, *item);
    } else if (!movement.defaultSettings.empty()) {
        Edit::EditCommand::inputMovementSettings(shown, *item);
    }
}

}  // namespace Component
