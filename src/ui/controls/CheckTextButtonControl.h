#pragma once
#include <cstdint>
#include <string>

#include "ui/controls/CheckButtonControl.h"

// A check button whose text is bright when on and dimmed when off.
namespace Control {

class CheckTextButtonControl : public CheckButtonControl {
public:
    CheckTextButtonControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h,
                           const std::wstring& text);
    CheckTextButtonControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h,
                           const std::wstring& text);

    void drawContent() override;

    std::wstring text;
};

}  // namespace Control
