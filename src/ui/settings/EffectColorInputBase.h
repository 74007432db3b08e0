#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "ui/controls/ControlContainer.h"
#include "ui/controls/EditFocusGroup.h"
#include "ui/controls/LayoutControl.h"
#include "ui/controls/SliderInputControl.h"
#include "ui/controls/TextControl.h"
#include "ui/controls/WindowControlRenderTarget.h"

// Three labelled slider rows of the colour setting panel. A press, drag or
// typed entry on a slider is one undo step (the panel's record is opened by
// the slider's begin and committed by its end); the subclasses say what a
// value means.
namespace Component {

class EffectColorSettingComponent;

class EffectColorInputBase : public Window::WindowControlRenderTarget {
public:
    EffectColorInputBase(Window::ControlContainer& container, EffectColorSettingComponent& panel);
    ~EffectColorInputBase() override;

    void procPaint() override;
    void procMove() override;
    // The values from the panel; the base reads only the slider options.
    virtual void updateValue();

    EffectColorSettingComponent* panel;
    int32_t rowHeight;
    int32_t marginWidth;
    int32_t rowPitch;
    Window::ControlContainer inner;
    Control::LayoutControl rows;
    std::array<std::unique_ptr<Control::TextControl>, 3> labels;
    std::array<std::unique_ptr<Control::SliderInputControl>, 3> sliders;

protected:
    // Labels, ranges and step; then every slider's change goes to changed.
    void setUp(const std::array<const wchar_t*, 3>& names, const std::array<double, 3>& highest, double step);
    virtual void changed(int32_t row, double v) = 0;

private:
    Control::EditFocusGroup::Members focusGroup_;
};

}  // namespace Component
