#pragma once
#include <cstdint>
#include <string>

#include "ui/framework/StyleBrushList.h"

// What every control shares about the pointer, following the input router's
// capture rules: the router makes the object under a press its capture
// target before calling procLButtonDown; a control that claims the press
// sets its `dragging` flag there, so the router sends it the release and the
// capture loss (procCaptureLost, when the button goes up or the capture goes
// elsewhere). A control that arms a drag also gets the moves relative to the
// press point (procMouseDrag). Hover comes from the router as `hovered` with
// procMouseEnter / procMouseLeave, and procMouseHover when the pointer rests.
namespace Window {

class WindowMouse;

class ControlInput {
public:
    // Claims the press for the object, the router's capture target: it stays
    // pressed until its capture is lost.
    static void claimPress(WindowMouse& mouse);
    // Claims the press and arms a drag from (x, y), local to the object,
    // leaving the cursor as it is: the moves with the button held arrive as
    // procMouseDrag with the displacement from that point.
    static void armDrag(WindowMouse& mouse, int32_t x, int32_t y);
    // Makes `mouse` the capture target in place of `from` (a press on a bar
    // going on as a drag of its knob); false when `from` is not the target.
    static bool passCapture(WindowMouse& from, WindowMouse& mouse);
    // The body colour of a pressable face by the object's flags: disabled,
    // pressed, hovered or at rest.
    static StyleBrushList::Index bodyColour(const WindowMouse& mouse);
    // The tool tip under the cursor, following it until the next move or
    // press; an empty text shows nothing.
    static void showToolTip(const std::wstring& text);
};

}  // namespace Window
