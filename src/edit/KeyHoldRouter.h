#pragma once
#include <cstdint>

namespace Window {
class WindowControl;
}

namespace Edit {

// What the selection clicks need of the window layer's mouse router: its
// focus target and its key-hold target, which gets the key's release.
class KeyHoldRouter {
public:
    static constexpr uint32_t kControlKey = 17;
    // A hold that lasts while a focus target exists.
    static constexpr uint32_t kFocusHold = 0x10000;

    virtual ~KeyHoldRouter() = default;
    virtual bool hasKeyHoldTarget() const = 0;
    virtual uint32_t keyHoldCode() const = 0;
    virtual bool hasFocusTarget() const = 0;
    virtual bool isKeyDown(uint32_t virtualKey) const = 0;
    virtual void setKeyHoldTarget(Window::WindowControl* control, uint32_t code) = 0;
};

}  // namespace Edit
