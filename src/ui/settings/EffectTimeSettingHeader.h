#pragma once
#include <cstdint>

#include "ui/controls/BitmapButtonControl.h"
#include "ui/controls/ControlContainer.h"
#include "ui/controls/IconButtonControl.h"
#include "ui/controls/LayoutControl.h"
#include "ui/controls/TextControl.h"
#include "ui/controls/WindowControlRenderTarget.h"

// The header row of the time-control panel: the panel's icon, the title
// naming the bound item and its movement, and at the right the preset and
// close buttons. A press elsewhere on it opens the menu of the items the
// panel can bind to.
namespace Component {

class EffectTimeSettingComponent;

class EffectTimeSettingHeader : public Window::WindowControlRenderTarget {
public:
    EffectTimeSettingHeader(EffectTimeSettingComponent& panel, Window::ControlContainer& container, int32_t height);

    void procLButtonDown(int32_t x, int32_t y) override;
    void procMouseEnter() override;
    void procMouseLeave() override;
    void procPaint() override;
    void procMove() override;

    EffectTimeSettingComponent* panel;
    Window::ControlContainer children;
    Control::BitmapButtonControl icon;
    Control::TextControl title;
    Control::LayoutControl strip;
    Control::IconButtonControl presetButton;
    Control::IconButtonControl closeButton;
};

}  // namespace Component
