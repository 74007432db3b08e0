#include "platform/window/GtkRuntime.h"

#include <glib-unix.h>
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

gboolean onFd(gint, GIOCondition, gpointer) { return G_SOURCE_CONTINUE; }
gboolean onTimeout(gpointer) { return G_SOURCE_CONTINUE; }
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
    std::vector<GSource*> sources;
    sources.reserve(count + 1);
    for (size_t i = 0; i < count; ++i) {
        GSource* s = g_unix_fd_source_new(fds[i], G_IO_IN);
        g_source_set_callback(s, G_SOURCE_FUNC(onFd), nullptr, nullptr);
        g_source_attach(s, nullptr);
        sources.push_back(s);
    }
    if (timeoutMs >= 0) {
        GSource* s = g_timeout_source_new(static_cast<guint>(timeoutMs));
        g_source_set_callback(s, onTimeout, nullptr, nullptr);
        g_source_attach(s, nullptr);
        sources.push_back(s);
    }
    g_main_context_iteration(nullptr, TRUE);
    for (GSource* s : sources) {
        g_source_destroy(s);
        g_source_unref(s);
    }
}

}  // namespace Platform::window::gtk
