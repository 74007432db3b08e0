#pragma once
#include <cstdint>

#include "edit/KeyHoldRouter.h"

// The input router as the selection clicks see it: a click that selects
// with Ctrl held makes its control the holder of Ctrl, so the selection
// keeps growing until Ctrl is released. Only a key that is down is held: a
// hold on a key that is up would never see its release.
namespace Component {

class EditKeyHoldRouter : public Edit::KeyHoldRouter {
public:
    bool hasKeyHoldTarget() const override;
    uint32_t keyHoldCode() const override;
    bool hasFocusTarget() const override;
    bool isKeyDown(uint32_t virtualKey) const override;
    void setKeyHoldTarget(Window::WindowControl* control, uint32_t code) override;
};

}  // namespace Component
