#include "platform/window/Cursor.h"

#include <gtk/gtk.h>

#include <cerrno>
#include <map>
#include <memory>
#include <vector>

#include "platform/os/ThreadSafety.h"
#include "platform/window/GtkRuntime.h"
#include "platform/window/WindowData.h"

namespace Platform::window {

struct CursorData {
    GdkCursor* cursor = nullptr;  // null without a display
};

namespace {
os::Mutex g_mutex;
std::map<uint32_t, CursorData*>& systemCursors() REQUIRES(g_mutex) {
    static std::map<uint32_t, CursorData*> m;
    return m;
}
// A new handle (null cursor: none without a display). Every handle given out
// is kept for the life of the process.
CursorData* newHandle(GdkCursor* cursor) REQUIRES(g_mutex) {
    static std::vector<std::unique_ptr<CursorData>> all;
    all.push_back(std::make_unique<CursorData>(CursorData{cursor}));
    return all.back().get();
}

const char* cursorName(uint32_t id) {
    switch (id) {
    case kIdcArrow: return "default";
    case kIdcIBeam: return "text";
    case kIdcWait: return "wait";
    case kIdcCross: return "crosshair";
    case kIdcSizeNwse: return "nwse-resize";
    case kIdcSizeNesw: return "nesw-resize";
    case kIdcSizeWe: return "ew-resize";
    case kIdcSizeNs: return "ns-resize";
    case kIdcSizeAll: return "move";
    case kIdcNo: return "not-allowed";
    case kIdcHand: return "pointer";
    case kIdcAppStarting: return "progress";
    case kIdcHelp: return "help";
    case kIdcPin:
    case kIdcPerson: return "default";
    default: return nullptr;
    }
}

GdkCursor* fromName(const char* name) {
    GdkDisplay* display = gdk_display_get_default();
    GdkCursor* c = gdk_cursor_new_from_name(display, name);
    return c != nullptr ? c : gdk_cursor_new_for_display(display, GDK_LEFT_PTR);
}
}  // namespace

CursorHandle loadSystemCursor(uint32_t id) {
    const char* name = cursorName(id);
    if (name == nullptr) {
        errno = ENOENT;
        return nullptr;
    }
    os::MutexLock lock(g_mutex);
    auto& slot = systemCursors()[id];
    if (slot == nullptr) slot = newHandle(gtk::ensure() ? fromName(name) : nullptr);
    return slot;
}

CursorHandle createMonochromeCursor(int32_t width, int32_t height, int32_t hotX, int32_t hotY, const uint8_t* andMask,
                                    const uint8_t* xorMask) {
    if (width <= 0 || height <= 0 || andMask == nullptr || xorMask == nullptr) {
        errno = EINVAL;
        return nullptr;
    }
    os::MutexLock lock(g_mutex);
    if (!gtk::ensure()) return newHandle(nullptr);
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, width, height);
    const int stride = gdk_pixbuf_get_rowstride(pixbuf);
    guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
    const int rowBytes = (width + 7) / 8;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int bit = 7 - (x & 7);
            const bool a = ((andMask[y * rowBytes + x / 8] >> bit) & 1) != 0;
            const bool b = ((xorMask[y * rowBytes + x / 8] >> bit) & 1) != 0;
            guchar* p = pixels + y * stride + x * 4;
            const guchar v = (!a && b) ? 255 : 0;
            p[0] = p[1] = p[2] = v;
            p[3] = (a && !b) ? 0 : 255;
        }
    }
    CursorData* data = newHandle(gdk_cursor_new_from_pixbuf(gdk_display_get_default(), pixbuf, hotX, hotY));
    g_object_unref(pixbuf);
    return data;
}

CursorHandle blankCursor() {
    static CursorData* blank = [] {
        os::MutexLock lock(g_mutex);
        return newHandle(gtk::ensure() ? gdk_cursor_new_for_display(gdk_display_get_default(), GDK_BLANK_CURSOR)
                                       : nullptr);
    }();
    return blank;
}

bool setWindowCursor(WindowHandle window, CursorHandle cursor) {
    if (!WindowData::isLive(window)) {
        errno = EBADF;
        return false;
    }
    GdkCursor* c = cursor != nullptr ? cursor->cursor : nullptr;
    if (c != nullptr) g_object_ref(c);
    if (window->cursor != nullptr) g_object_unref(window->cursor);
    window->cursor = c;
    if (window->area != nullptr && gtk_widget_get_realized(window->area))
        gdk_window_set_cursor(gtk_widget_get_window(window->area), c);
    return true;
}

}  // namespace Platform::window
