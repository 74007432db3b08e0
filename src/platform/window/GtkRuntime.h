#pragma once
#include <cstddef>

// GTK on the process's main thread, started when first needed (layer-internal).
// That thread is the UI thread: it owns every GTK object, and its queue waits
// run GLib's loop. Other threads' windows are message-only.
namespace Platform::window::gtk {

// Initialises GTK once; false when there is no display or the caller is not
// the main thread. LC_NUMERIC stays "C".
bool ensure();
bool onUiThread();
// GTK runs (on some thread) with a display.
bool available();
// One blocking GLib iteration that also ends when one of the descriptors
// polls readable or after timeoutMs (negative: no limit). Nothing is read.
void iterate(const int* fds, size_t count, int timeoutMs);

}  // namespace Platform::window::gtk
