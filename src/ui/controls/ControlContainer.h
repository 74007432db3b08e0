#pragma once
#include <cstdint>
#include <vector>

#include "ui/framework/WindowMouse.h"

// What a panel or a composite control hands to the controls it creates: the
// rectangle they are laid out in (moved by a scroll offset), the rectangle
// they are clipped to, and the base priority. The container lays out its
// controls again whenever its owner moved or scrolled.
namespace Window {

class WindowControl;

class ControlContainer {
public:
    ControlContainer(int32_t priority, const MouseRect* clipRect, const MouseRect* sourceRect)
        : priority(priority), clipRect(clipRect), sourceRect(sourceRect) {}
    ControlContainer(const ControlContainer&) = delete;
    ControlContainer& operator=(const ControlContainer&) = delete;

    // Takes the source rectangle moved by the offset as the layout reference,
    // then lays out every control in creation order and tells it it moved.
    void updateChildLayout();

    int32_t offsetX = 0;
    int32_t offsetY = 0;
    // A child gets priority + 1.
    int32_t priority = 0;
    const MouseRect* clipRect = nullptr;
    const MouseRect* sourceRect = nullptr;
    MouseRect layoutRect;
    // Every control of the container, nested ones included, in creation order.
    std::vector<WindowControl*> children;
};

}  // namespace Window
