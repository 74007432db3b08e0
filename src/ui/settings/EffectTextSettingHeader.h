#pragma once
#include <cstdint>

#include "ui/controls/BitmapButtonControl.h"
#include "ui/controls/ControlContainer.h"
#include "ui/controls/IconButtonControl.h"
#include "ui/controls/LayoutControl.h"
#include "ui/controls/TextControl.h"
#include "ui/controls/WindowControlRenderTarget.h"

// The strip above the text panel's editor: the panel's icon, its title
// (grey while no text is bound) and the button that closes the panel.
namespace Component {

class EffectTextSettingComponent;

class EffectTextSettingHeader : public Window::WindowControlRenderTarget {
public:
    EffectTextSettingHeader(EffectTextSettingComponent& panel, Window::ControlContainer& container, int32_t h);

    // The title in the text colour while an item is bound, else in the disabled one.
    void setBound(bool bound);
    void procPaint() override;
    void procMove() override;

    EffectTextSettingComponent* panel;
    Window::ControlContainer children;
    Control::BitmapButtonControl icon;
    Control::TextControl title;
    Control::LayoutControl buttonFrame;
    Control::IconButtonControl closeButton;
};

}  // namespace Component
