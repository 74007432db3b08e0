#pragma once
// The window layer: top-level windows, their message queue, timers, message
// boxes and the clipboard, shaped like the calls the program's window code
// makes. Every modal question can be answered by a scripted-answer hook, so
// tests and headless runs never block. GTK runs on the process's main thread
// (the UI thread); windows of other threads and of a run without a display
// are message-only.
#include "platform/window/Clipboard.h"
#include "platform/window/Cursor.h"
#include "platform/window/DragDrop.h"
#include "platform/window/KeyMap.h"
#include "platform/window/Menu.h"
#include "platform/window/Message.h"
#include "platform/window/MessageBox.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/Pointer.h"
#include "platform/window/SystemMetrics.h"
#include "platform/window/TopLevel.h"
