#pragma once
#include <functional>
#include <string>
#include <vector>

#include "platform/os/Result.h"
#include "platform/window/Message.h"

// Files dragged out of a window, to this program's own drop targets or to
// other programs: the drag follows the pointer from the current press and
// offers the files as a URI list; it ends when the button goes up. UI thread
// only.
namespace Platform::window {

// Starts the drag with the left button held; the window keeps the files
// until the drag ends. kInvalidArg without files or for a window without a
// display.
Result beginFileDrag(WindowHandle window, const std::vector<std::string>& files);
// The files of the window's drag while one runs, else null.
const std::vector<std::string>* fileDragInProgress(WindowHandle window);

// While set, a drag is handed to the hook instead of starting (tests and
// headless runs drive the drop side themselves). Returns the one set before.
using FileDragHook = std::function<void(WindowHandle window, const std::vector<std::string>& files)>;
FileDragHook setFileDragHook(FileDragHook hook);

}  // namespace Platform::window
