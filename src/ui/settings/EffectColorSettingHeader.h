#pragma once
#include <cstdint>

#include "ui/controls/BitmapButtonControl.h"
#include "ui/controls/IconButtonControl.h"
#include "ui/controls/LayoutControl.h"
#include "ui/controls/TextControl.h"
#include "ui/controls/WindowControlRenderTarget.h"

// The top strip of the colour setting panel: the colour icon and the bound
// item's name (a click there lists the object's colour items), then the
// screen pick, palette switch and close buttons.
namespace Component {

class EffectColorSettingComponent;

class EffectColorSettingHeader : public Window::WindowControlRenderTarget {
public:
    EffectColorSettingHeader(Window::ControlContainer& container, EffectColorSettingComponent& panel, int32_t height);

    void procLButtonDown(int32_t x, int32_t y) override;
    void procMouseEnter() override;
    void procMouseLeave() override;
    void procPickColor(const uint8_t* rgb) override;
    void procPaint() override;

    EffectColorSettingComponent* panel;
    Control::BitmapButtonControl icon;
    Control::TextControl title;
    Control::LayoutControl buttons;
    Control::BitmapButtonControl pickButton;
    Control::BitmapButtonControl paletteButton;
    Control::IconButtonControl closeButton;
};

}  // namespace Component
