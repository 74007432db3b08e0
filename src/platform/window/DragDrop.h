#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/os/Result.h"
#include "platform/window/Message.h"

// Things dragged from other programs onto a window: the window's drop target
// is told when a drag enters, moves over, leaves and drops, and answers with
// the effect the source shows. Only file lists are offered as data; anything
// else arrives as data without files. UI thread only.
namespace Platform::window {

inline constexpr uint32_t kDropEffectNone = 0;
inline constexpr uint32_t kDropEffectCopy = 1;

// The cancel status a target returns when it refuses a drag.
inline constexpr Result kDragDropCancel = 0x00040101;

// What is being dragged.
struct DragData {
    bool hasFiles = false;           // the data can give a file list
    std::vector<std::string> files;  // full paths, UTF-8
};

class DropTarget {
public:
    virtual ~DropTarget();
    // Points are in screen coordinates; keyState carries the mouse-key flags.
    virtual Result dragEnter(const DragData& data, uint32_t keyState, Point point, uint32_t& effect) = 0;
    virtual Result dragOver(uint32_t keyState, Point point, uint32_t& effect) = 0;
    virtual Result dragLeave() = 0;
    virtual Result drop(const DragData& data, uint32_t keyState, Point point, uint32_t& effect) = 0;
};

// The window holds the target until it is revoked or the window goes.
// Registering twice fails with kErrorAlreadyRegistered.
inline constexpr Result kErrorAlreadyRegistered = static_cast<Result>(0x80040101u);
Result registerDragDrop(WindowHandle window, std::shared_ptr<DropTarget> target);
Result revokeDragDrop(WindowHandle window);

// A drag made by the program itself, for tests and headless runs: the same
// calls a drag from another program makes, in the same order. Each returns
// the effect the target answered (none without a target).
class SyntheticDrag {
public:
    SyntheticDrag(WindowHandle window, DragData data);
    // Leaves the window when neither dropped nor left.
    ~SyntheticDrag();
    SyntheticDrag(const SyntheticDrag&) = delete;
    SyntheticDrag& operator=(const SyntheticDrag&) = delete;

    // Enters on the first move, then moves over.
    uint32_t moveTo(Point screen, uint32_t keyState = 0);
    void leave();
    // Moves to the point first; a target that refuses the drag there is
    // left instead, as a source does.
    uint32_t drop(Point screen, uint32_t keyState = 0);

private:
    WindowHandle window_;
    DragData data_;
    bool inside_ = false;
};

}  // namespace Platform::window
