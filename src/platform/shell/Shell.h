#pragma once
// The file browser's ground: what a folder holds (GIO), its changes while it
// is shown (a GIO folder monitor), the column keys the browser's settings
// store, and the pictures of files (the icon theme by content type, and the
// freedesktop thumbnail cache where it has an entry). Paths are UTF-8 with
// '/' as the separator. UI thread only: change notices arrive through the
// thread's GLib main context, which the program's main loop runs.
#include "platform/shell/FileImage.h"
#include "platform/shell/FolderMonitor.h"
#include "platform/shell/FolderReader.h"
#include "platform/shell/PropertyKey.h"
