#include "platform/window/SystemMetrics.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cmath>

#include "platform/os/SystemInfo.h"
#include "platform/window/GtkRuntime.h"
#include "platform/window/WindowData.h"

namespace Platform::window {
namespace {

// The GTK settings when they have that setting, else null (no display either).
GtkSettings* settingsWith(const char* name) {
    if (!gtk::ensure()) return nullptr;
    GtkSettings* settings = gtk_settings_get_default();
    if (settings == nullptr || g_object_class_find_property(G_OBJECT_GET_CLASS(settings), name) == nullptr)
        return nullptr;
    return settings;
}

int intSetting(const char* name, int fallback) {
    gint value = fallback;
    if (GtkSettings* settings = settingsWith(name)) g_object_get(settings, name, &value, nullptr);
    return value;
}

bool boolSetting(const char* name, bool fallback) {
    gboolean value = fallback;
    if (GtkSettings* settings = settingsWith(name)) g_object_get(settings, name, &value, nullptr);
    return value != FALSE;
}

}  // namespace

int32_t getSystemMetrics(int index) {
    switch (index) {
    case kSmCxScreen:
    case kSmCyScreen: {
        if (!gtk::ensure()) return index == kSmCxScreen ? 1920 : 1080;
        GdkMonitor* monitor = gdk_display_get_primary_monitor(gdk_display_get_default());
        if (monitor == nullptr) monitor = gdk_display_get_monitor(gdk_display_get_default(), 0);
        if (monitor == nullptr) return 0;
        GdkRectangle r;
        gdk_monitor_get_geometry(monitor, &r);
        return index == kSmCxScreen ? r.width : r.height;
    }
    case kSmXVirtualScreen:
    case kSmYVirtualScreen:
    case kSmCxVirtualScreen:
    case kSmCyVirtualScreen: {
        GdkRectangle all{0, 0, 1920, 1080};
        if (gtk::ensure()) {
            GdkDisplay* display = gdk_display_get_default();
            const int count = gdk_display_get_n_monitors(display);
            for (int i = 0; i < count; ++i) {
                GdkRectangle r;
                gdk_monitor_get_geometry(gdk_display_get_monitor(display, i), &r);
                if (i == 0)
                    all = r;
                else
                    gdk_rectangle_union(&all, &r, &all);
            }
        }
        switch (index) {
        case kSmXVirtualScreen: return all.x;
        case kSmYVirtualScreen: return all.y;
        case kSmCxVirtualScreen: return all.width;
        default: return all.height;
        }
    }
    case kSmCyCursor: {
        if (!gtk::ensure()) return 32;
        const guint size = gdk_display_get_default_cursor_size(gdk_display_get_default());
        return size > 0 ? static_cast<int32_t>(size) : 32;
    }
    case kSmCxDoubleClk:
    case kSmCyDoubleClk: return std::max(intSetting("gtk-double-click-distance", 4), 1);
    case kSmCxDrag:
    case kSmCyDrag: return std::max(intSetting("gtk-dnd-drag-threshold", 4), 1);
    default: return 0;
    }
}

uint32_t getDoubleClickTime() { return static_cast<uint32_t>(std::max(intSetting("gtk-double-click-time", 500), 1)); }

uint32_t getCaretBlinkTime() {
    if (!boolSetting("gtk-cursor-blink", true)) return 0xFFFFFFFFu;
    // GTK gives the whole on-and-off cycle.
    return static_cast<uint32_t>(std::max(intSetting("gtk-cursor-blink-time", 1060) / 2, 1));
}

uint32_t mouseHoverTime() { return 400; }

uint32_t keyboardDelay() { return 1; }
uint32_t keyboardSpeed() { return 31; }

uint32_t getDpiForSystem() {
    if (!gtk::ensure()) return 96;
    const double dpi = gdk_screen_get_resolution(gdk_screen_get_default());
    return dpi > 0 ? static_cast<uint32_t>(std::lround(dpi)) : 96;
}

uint32_t desktopDpi() {
    if (!gtk::ensure()) return os::systemDpi();
    GdkDisplay* display = gdk_display_get_default();
    GdkScreen* screen = gdk_screen_get_default();
    if (display == nullptr || screen == nullptr) return os::systemDpi();
    GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
    if (monitor == nullptr && gdk_display_get_n_monitors(display) > 0) monitor = gdk_display_get_monitor(display, 0);
    const int scale = monitor != nullptr ? gdk_monitor_get_scale_factor(monitor) : 1;
    return os::systemDpi(gdk_screen_get_resolution(screen), scale);
}

uint32_t getDpiForWindow(WindowHandle window) {
    if (!WindowData::isLive(window) || window->toplevel == nullptr) return getDpiForSystem();
    const int scale = gtk_widget_get_scale_factor(window->toplevel);
    return getDpiForSystem() * static_cast<uint32_t>(std::max(scale, 1));
}

}  // namespace Platform::window
