#pragma once
// The window layer: top-level windows, their message queue, timers, message
// boxes and the clipboard, shaped like the calls the program's window code
// makes. Every modal question can be answered by a scripted-answer hook, so
// tests and headless runs never block.
#include "platform/window/MessageBox.h"
