#pragma once
#include <cstdint>

#include "ui/controls/CheckButtonControl.h"

// A check button showing one bitmap when on and another when off.
namespace Control {

class CheckBitmapButtonControl : public CheckButtonControl {
public:
    CheckBitmapButtonControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h,
                             Window::StyleBitmapList::Index on, Window::StyleBitmapList::Index off);
    CheckBitmapButtonControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h,
                             Window::StyleBitmapList::Index on, Window::StyleBitmapList::Index off);

    void drawContent() override;

    Window::StyleBitmapList::Index onBitmap;
    Window::StyleBitmapList::Index offBitmap;
};

}  // namespace Control
