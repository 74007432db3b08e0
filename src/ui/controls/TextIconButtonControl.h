#pragma once
#include <cstdint>
#include <string>

#include "ui/controls/ButtonControl.h"
#include "ui/framework/WindowMouse.h"

// A text button with a square icon at its right end that is a button of its
// own: a press on the icon runs the icon action instead of the click action.
// Without an icon bitmap the icon is hidden and the whole face is the button.
namespace Control {

class TextIconButtonControl : public ButtonControl {
public:
    // The icon part: above the button, on the icon square.
    class IconControl : public Window::WindowMouse {
    public:
        explicit IconControl(TextIconButtonControl& button);
        void procLButtonDown(int32_t x, int32_t y) override;
        void procMouseHover() override;
        void procMouseEnter() override;
        void procMouseLeave() override;
        void procCaptureLost() override;

    private:
        TextIconButtonControl& button_;
    };

    // Laid out (0, 0, w, 0) in the parent.
    TextIconButtonControl(Window::WindowControl& parent, int32_t w, const std::wstring& text);

    void procMove() override;
    void procPaint() override;

    // Sets or clears the icon, showing or hiding the icon part.
    void setIcon(StyleBitmap bitmap);

    std::wstring text;
    std::wstring iconToolTipText;
    StyleBitmap iconBitmap;
    Action iconAction;
    Window::MouseRect iconRect;
    IconControl iconPart;
};

}  // namespace Control
