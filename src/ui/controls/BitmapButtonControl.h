#pragma once
#include <cstdint>

#include "ui/controls/ButtonControl.h"

// A button showing a style bitmap stretched over it.
namespace Control {

class BitmapButtonControl : public ButtonControl {
public:
    BitmapButtonControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h,
                        Window::StyleBitmapList::Index bitmap);
    BitmapButtonControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h,
                        Window::StyleBitmapList::Index bitmap);

    void procPaint() override;

    Window::StyleBitmapList::Index bitmap;
    bool framed = false;
    StyleBrush backgroundBrush = Window::StyleBrushList::Background;
};

}  // namespace Control
