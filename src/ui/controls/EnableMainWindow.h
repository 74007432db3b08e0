#pragma once

namespace Window {

// Gives the main window its input back after a modal dialog: with the flag
// set it becomes the foreground window again.
void enableMainWindow(bool flag);

}  // namespace Window
