#pragma once
#include <string>
#include <vector>

#include "platform/window/Message.h"

// Files dragged over or dropped on the main window, handed to the object under
// the pointer; the object answers through `accepted`.
namespace Window {

struct DropFiles {
    std::vector<std::wstring> files;  // full paths
    Platform::window::Point point;    // screen coordinates
    bool accepted = false;
};

}  // namespace Window
