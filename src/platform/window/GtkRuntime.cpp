#include "platform/window/GtkRuntime.h"

#include <gtk/gtk.h>

#include <sys/syscall.h>
#include <unistd.h>

#include <clocale>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace Platform::window::gtk {
namespace {
std::once_flag g_once;
bool g_available = false;
std::thread::id g_uiThread;

}  // namespace

bool ensure() {
    // GTK belongs to the process's main thread; other threads never start it
    // (their windows are message-only).
    if (::syscall(SYS_gettid) != ::getpid()) return false;
    std::call_once(g_once, [] {
        g_uiThread = std::this_thread::get_id();
        // gtk_init takes every locale category from the environment. GTK needs
        // the character type (UTF-8 input and text); everything else stays as
        // the program had it, so numbers in files keep "C" and system texts
        // do not change language under the program's feet.
        const std::string before = std::setlocale(LC_ALL, nullptr);
        g_available = gtk_init_check(nullptr, nullptr) != FALSE;
        const std::string ctype = std::setlocale(LC_CTYPE, nullptr);
        std::setlocale(LC_ALL, before.c_str());
        std::setlocale(LC_CTYPE, ctype.c_str());
        std::setlocale(LC_NUMERIC, "C");
    });
    return g_available && std::this_thread::get_id() == g_uiThread;
}

bool available() { return g_available; }

bool onUiThread() { return g_available && std::this_thread::get_id() == g_uiThread; }

void iterate(const int* fds, size_t count, int timeoutMs) {
    // One pass of the default context by hand, our descriptors polled beside
    // its own. Attaching a source for them on every pass (and destroying it
    // after) would signal the context's wake-up each time, so the poll would
    // never block and an idle loop would spin.
    GMainContext* context = g_main_context_default();
    if (!g_main_context_acquire(context)) {
        // Another thread iterates it (not the UI thread): wait on ours alone.
        std::vector<GPollFD> own(count);
        for (size_t i = 0; i < count; ++i) own[i] = GPollFD{fds[i], G_IO_IN, 0};
        (void)g_poll(own.data(), static_cast<guint>(own.size()), timeoutMs);
        return;
    }
    gint maxPriority = 0;
    g_main_context_prepare(context, &maxPriority);
    std::vector<GPollFD> polled(16);
    gint contextTimeout = -1;
    gint n = 0;
    for (;;) {
        n = g_main_context_query(context, maxPriority, &contextTimeout, polled.data(),
                                 static_cast<gint>(polled.size()));
        if (n <= static_cast<gint>(polled.size())) break;
        polled.resize(static_cast<size_t>(n));
    }
    polled.resize(static_cast<size_t>(n));
    for (size_t i = 0; i < count; ++i) polled.push_back(GPollFD{fds[i], G_IO_IN, 0});
    gint wait = contextTimeout;
    if (timeoutMs >= 0 && (wait < 0 || timeoutMs < wait)) wait = timeoutMs;
    GPollFunc poll = g_main_context_get_poll_func(context);
    (void)poll(polled.data(), static_cast<guint>(polled.size()), wait);
    // The context sees only its own records; ours are not read here.
    if (g_main_context_check(context, maxPriority, polled.data(), n)) g_main_context_dispatch(context);
    g_main_context_release(context);
}

}  // namespace Platform::window::gtk
