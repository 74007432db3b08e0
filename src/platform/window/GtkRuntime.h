#pragma once
#include <cstddef>

// GTK on the thread that first needs it (layer-internal). That thread is the
// UI thread: it owns every GTK object, and its queue waits run GLib's loop.
namespace Platform::window::gtk {

// Initialises GTK once on the calling thread; false when there is no display
// (or another thread is the UI thread). LC_NUMERIC stays "C".
bool ensure();
bool onUiThread();
// GTK runs (on some thread) with a display.
bool available();
// One blocking GLib iteration that also ends when one of the descriptors
// polls readable or after timeoutMs (negative: no limit). Nothing is read.
void iterate(const int* fds, size_t count, int timeoutMs);

}  // namespace Platform::window::gtk
