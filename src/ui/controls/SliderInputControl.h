#pragma once
#include <climits>
#include <cstdint>
#include <functional>
#include <string>

#include "media/gpu/TextFormat.h"
#include "ui/controls/ButtonControl.h"
#include "ui/controls/ControlContainer.h"
#include "ui/controls/EditControl.h"
#include "ui/controls/RepeatClickButtonControl.h"

// A number shown on a button face with a minus and a plus button at its ends.
// Dragging the face sideways changes the number (finely with Shift), a
// plain click opens a text editor on it that takes digits, signs and the
// point, and the wheel over that editor steps the typed number. The number
// is kept as a whole count of steps: with a step of 0.01 it is held in
// hundredths and shown with two decimals.
//
// A change gesture (a face press, a minus or plus press, typing or a wheel
// step in the editor) runs beginAction once, changeAction after every change
// of the value, and endAction once when it ends.
namespace Control {

class SliderInputControl : public Window::WindowControlRenderTarget {
public:
    using Action = std::function<void(SliderInputControl&)>;

    // The face: pressed and dragged to change the value, clicked to edit it.
    class SliderButton : public ButtonControl {
    public:
        SliderButton(SliderInputControl& owner, Window::ControlContainer& inner);
        void procMouseMove(int32_t x, int32_t y) override;
        void procLButtonDown(int32_t x, int32_t y) override;
        void procMouseDrag(int32_t dx, int32_t dy) override;
        bool procDragKey(int32_t key) override;
        void procLButtonUp(int32_t x, int32_t y) override;
        void procCaptureLost() override;
        void procPaint() override;

        SliderInputControl* slider;
        int32_t dragStartValue = 0;
        int32_t pressX = 0;
        bool shiftAtPress = false;
    };

    // The editor on the value, shown while editing.
    class SliderEdit : public EditControl {
    public:
        SliderEdit(SliderInputControl& owner, Window::ControlContainer& inner);
        bool procKeyDown(int32_t key) override;
        void procFocusLost(Window::WindowMouse* cause) override;
        void procMouseWheel(int32_t x, int32_t y, int32_t delta) override;
        void setFocus(bool take) override;
        bool canFocus() override;

        SliderInputControl* slider;
    };

    // Laid out (x, y, 0, h): to the parent's right edge.
    SliderInputControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t h);
    SliderInputControl(Window::ControlContainer& owner, int32_t x, int32_t y, int32_t w, int32_t h);

    void procMove() override;
    void procPaint() override;

    // Value, limits and step in units; the step sets the scale and the decimals.
    void setRange(double initial, double lowest, double highest, double step);
    // Shows a value (in units) without telling anyone.
    void setValue(double x);
    // The user's change by d steps (the minus and plus buttons).
    void stepValue(int32_t d);
    // The user's typed text, plus `base` steps.
    void parseText(const std::wstring& typed, int32_t base);
    void setEditing(bool on);
    void computeDragSpeed();
    void updateValueText();
    // The value in units.
    double getValue() const { return double(value) / double(scale); }

    Resource::TextFormat* textFormat = nullptr;
    int32_t editTextWidth = 0;
    int32_t value = INT_MAX;
    int32_t defaultValue = 0;
    int32_t minimum = 0, maximum = 0;
    int32_t scale = 1;
    int32_t decimals = 0;
    float dragSpeed = 1.0f;
    int32_t coarseStep = 1;
    int32_t fineStep = 1;
    bool hideCursorWhileDragging = false;
    bool hideButtons = false;
    bool alwaysShowButtons = false;
    std::wstring valueText;
    std::wstring zeroText;
    bool startMark = false, endMark = false;
    bool showSliderCursor = false;
    bool changing = false;
    Action changeAction;
    Action beginAction;
    Action endAction;
    Window::ControlContainer container;
    RepeatClickButtonControl minusButton;
    RepeatClickButtonControl plusButton;
    SliderButton sliderButton;
    SliderEdit sliderEdit;

private:
    void setupParts();
    void beginChange();
    void endChange();
    // Stores a value the user made, shows it on the face and in the editor, and tells the owner.
    void applyValue(int32_t v, bool copyToEdit);
};

}  // namespace Control
