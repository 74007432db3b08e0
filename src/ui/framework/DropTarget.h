#pragma once
#include <memory>

#include "platform/window/DragDrop.h"
#include "ui/framework/DropFiles.h"

// Files dragged from other programs over the main window become the router's
// drag-over, drop and drag-leave messages, sent with one DropFiles record;
// the object under the pointer answers through the record whether it takes
// them, and the source shows the copy effect when it does.
namespace Window {

class DropTarget : public Platform::window::DropTarget {
public:
    explicit DropTarget(Platform::window::WindowHandle window) : window_(window) {}

    // Registers a target for the window; throws when the window layer refuses.
    static void Register(Platform::window::WindowHandle window);
    // Logs a failure: the window is going anyway.
    static void Revoke(Platform::window::WindowHandle window);

    Platform::Result dragEnter(const Platform::window::DragData& data, uint32_t keyState, Platform::window::Point point,
                               uint32_t& effect) override;
    Platform::Result dragOver(uint32_t keyState, Platform::window::Point point, uint32_t& effect) override;
    Platform::Result dragLeave() override;
    Platform::Result drop(const Platform::window::DragData& data, uint32_t keyState, Platform::window::Point point,
                          uint32_t& effect) override;

    const DropFiles& record() const { return files_; }

private:
    uint32_t sendRecord(uint32_t message, Platform::window::Point point);

    Platform::window::WindowHandle window_;
    DropFiles files_;
};

}  // namespace Window
