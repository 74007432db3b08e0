#pragma once
#include <cstdint>
#include <string>

#include "ui/controls/ButtonControl.h"

// A button with a line of text: centred, as a drop-down face (text at the
// left, a small triangle at the right), centred and cut with an ellipsis
// when it does not fit, or at the top-left.
namespace Control {

class TextButtonControl : public ButtonControl {
public:
    enum Alignment : int32_t { Centred = 0, DropDown = 1, CentredEllipsis = 2, TopLeft = 3 };

    TextButtonControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h, int32_t alignment);
    TextButtonControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h,
                      int32_t alignment);

    void procPaint() override;

    // Changes the text, drawing again only when it differs.
    void setText(const std::wstring& shown);

    std::wstring text;
    int32_t alignment;
};

}  // namespace Control
