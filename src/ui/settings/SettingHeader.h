#pragma once
#include <cstdint>
#include <functional>
#include <memory>

#include "ui/controls/ControlContainer.h"
#include "ui/controls/IconButtonControl.h"
#include "ui/controls/LayoutControl.h"
#include "ui/controls/SettingHeaderGaugeControl.h"
#include "ui/controls/WindowControlRenderTarget.h"

namespace Edit {
class Object;
}

// The strip above the effect blocks of the object settings panel: the shown
// object's frame gauge and the button that adds a filter to it. The wheel
// over the strip steps the cursor one frame inside the object.
namespace Component {

class SettingPanelState;

class SettingHeader : public Window::WindowControlRenderTarget {
public:
    SettingHeader(Window::ControlContainer& container, SettingPanelState& panel, int32_t x, int32_t y, int32_t w,
                  int32_t h);

    // Takes the panel's object into the gauge; the button is enabled while there is one.
    void update();
    void procMouseWheel(int32_t x, int32_t y, int32_t delta) override;
    void procContextMenu(int32_t x, int32_t y) override;
    void procPaint() override;
    void procMove() override;

    SettingPanelState* panel;
    Window::ControlContainer children;
    Control::SettingHeaderGaugeControl gauge;
    Control::LayoutControl buttonFrame;
    Control::IconButtonControl addButton;
    // Opens the filter list for the object at the cursor; empty until installed.
    std::function<void(const std::shared_ptr<Edit::Object>& object)> addFilter;

private:
    int32_t hadObject_ = -1;
};

}  // namespace Component
