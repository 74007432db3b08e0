#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "ui/controls/WindowControlRenderTarget.h"
#include "ui/framework/StyleBitmapList.h"
#include "ui/framework/StyleBrushList.h"

// The base of the custom-drawn buttons: it acts when the left button goes
// down (a release elsewhere does not undo it), stays pressed until the
// router takes its capture away, shows its tool tip when the pointer rests
// on it and is drawn again whenever its look changes.
namespace Control {

// An entry of the style's brush or bitmap list; empty: none.
using StyleBrush = std::optional<Window::StyleBrushList::Index>;
using StyleBitmap = std::optional<Window::StyleBitmapList::Index>;

class ButtonControl : public Window::WindowControlRenderTarget {
public:
    using Action = std::function<void(ButtonControl&)>;

    ButtonControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h);
    ButtonControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h);

    void procLButtonDown(int32_t x, int32_t y) override;
    void procMouseEnter() override;
    void procMouseLeave() override;
    void procCaptureLost() override;
    void procMouseHover() override;

    // Changes the enabled state; a disabled button takes no presses.
    void setEnabled(bool on);

    Action clickAction;
    std::wstring toolTipText;

protected:
    // Claims the press, asks for a repaint and runs the click action.
    void press();
};

}  // namespace Control
