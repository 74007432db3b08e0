#include "ui/settings/EffectColorInputBase.h"

#include "ui/framework/StyleMetrics.h"
#include "ui/framework/WindowMouseService.h"
#include "ui/settings/EffectColorSettingComponent.h"
#include "ui/settings/SettingComponent.h"

namespace Component {

EffectColorInputBase::EffectColorInputBase(Window::ControlContainer& container, EffectColorSettingComponent& owner)
    : WindowControlRenderTarget(container, 0, 0, 1, 1),
      panel(&owner),
      rowHeight(Window::SettingItemHeight),
      marginWidth(Window::SettingItemMarginWidth),
      rowPitch(Window::SettingItemHeight + 2),
      inner(priority, &visibleRect, &fullRect),
      rows(inner, 0, 2, 0, 0),
      focusGroup_(std::make_shared<std::vector<Control::EditFocusGroup*>>()) {
    service->unregisterMouse(&rows);
    for (int32_t k = 0; k < 3; ++k)
        labels[size_t(k)] = std::make_unique<Control::TextControl>(rows, 0, k * rowPitch, rowHeight, rowHeight, L"",
                                                                  Control::TextControl::Centred);
    for (int32_t k = 0; k < 3; ++k) {
        auto slider = std::make_unique<Control::SliderInputControl>(rows, rowHeight, k * rowPitch, rowHeight);
        slider->alwaysShowButtons = true;
        slider->sliderEdit.setGroup(focusGroup_);
        slider->beginAction = [this](Control::SliderInputControl&) { panel->beginUndoRecord(); };
        slider->endAction = [this](Control::SliderInputControl&) { panel->endUndoRecord(); };
        slider->changeAction = [this, k](Control::SliderInputControl& s) { changed(k, s.getValue()); };
        sliders[size_t(k)] = std::move(slider);
    }
    EffectColorInputBase::updateValue();
}

EffectColorInputBase::~EffectColorInputBase() {
    // The sliders and labels go before the box they sit in.
    for (auto& slider : sliders) slider.reset();
    for (auto& label : labels) label.reset();
}

void EffectColorInputBase::setUp(const std::array<const wchar_t*, 3>& names, const std::array<double, 3>& highest,
                                 double step) {
    for (size_t k = 0; k < 3; ++k) {
        labels[k]->text = names[k];
        sliders[k]->setRange(0, 0, highest[k], step);
    }
}

void EffectColorInputBase::updateValue() {
    const SettingComponent* settings = SettingComponent::get();
    for (auto& slider : sliders) {
        slider->hideCursorWhileDragging = settings != nullptr && settings->state.slideMouseHidden != 0;
        slider->showSliderCursor = settings == nullptr || settings->state.sliderCursorHidden == 0;
    }
}

void EffectColorInputBase::procPaint() {
    if (!canPaint() || fullRect.w <= 0 || fullRect.h <= 0) return;
    const ControlScope scope(*this);
    fillRectangle(0, 0, fullRect.w, fullRect.h, brush(Window::StyleBrushList::Grouping));
    for (size_t i = 0; i < inner.children.size(); ++i) inner.children[i]->procPaint();
}

void EffectColorInputBase::procMove() { inner.updateChildLayout(); }

}  // namespace Component
