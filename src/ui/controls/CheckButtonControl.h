#pragma once
#include <cstdint>
#include <functional>

#include "ui/controls/ButtonControl.h"

// A button that is on or off and flips at the press. Framed, it shows a
// raised body when on and blends into its panel when off; its content (a
// check mark here, bitmaps or a text in the subclasses) shows the state.
namespace Control {

class CheckButtonControl : public ButtonControl {
public:
    using CheckAction = std::function<void(CheckButtonControl&)>;

    CheckButtonControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h);
    CheckButtonControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h);

    void procPaint() override;
    // The state shown: a check mark when on.
    virtual void drawContent();

    // Stores the action and makes a press flip the state and then call it.
    void setCheckAction(CheckAction action);
    // Sets the state without calling the action, drawing again on a change.
    void setCheckState(bool on);

    bool checkState = false;
    bool framed = true;
    Window::StyleBrushList::Index checkBrush = Window::StyleBrushList::Grouping;
    CheckAction checkAction;
    // The background when off, in place of checkBrush; may be empty.
    std::function<Window::StyleBrushList::Index()> checkBrushProvider;
};

}  // namespace Control
