#include "platform/window/Pointer.h"

#include <gdk/gdk.h>
#ifdef GDK_WINDOWING_X11
#include <X11/XKBlib.h>
#include <gdk/gdkx.h>
#endif

#include <algorithm>

#include "platform/window/GtkRuntime.h"
#include "platform/window/SystemMetrics.h"

namespace Platform::window {
namespace {

GdkDevice* pointerDevice() {
    if (!gtk::ensure() || !gtk::onUiThread()) return nullptr;
    GdkDisplay* display = gdk_display_get_default();
    GdkSeat* seat = display != nullptr ? gdk_display_get_default_seat(display) : nullptr;
    return seat != nullptr ? gdk_seat_get_pointer(seat) : nullptr;
}

// Key repeat delay and interval in milliseconds from the X keyboard; false
// elsewhere.
bool keyRepeat(unsigned& delay, unsigned& interval) {
#ifdef GDK_WINDOWING_X11
    if (!gtk::ensure() || !gtk::onUiThread()) return false;
    GdkDisplay* display = gdk_display_get_default();
    if (display == nullptr || !GDK_IS_X11_DISPLAY(display)) return false;
    return XkbGetAutoRepeatRate(gdk_x11_display_get_xdisplay(display), XkbUseCoreKbd, &delay, &interval) != False;
#else
    (void)delay;
    (void)interval;
    return false;
#endif
}

}  // namespace

bool setCursorPos(int32_t x, int32_t y) {
    GdkDevice* pointer = pointerDevice();
    if (pointer == nullptr) return false;
    gdk_device_warp(pointer, gdk_screen_get_default(), x, y);
    return true;
}

bool screenPixel(int32_t x, int32_t y, uint8_t rgb[3]) {
    if (!gtk::ensure() || !gtk::onUiThread() || gdk_display_get_default() == nullptr) return false;
    GdkWindow* root = gdk_get_default_root_window();
    if (root == nullptr) return false;
    GdkPixbuf* pixel = gdk_pixbuf_get_from_window(root, x, y, 1, 1);
    if (pixel == nullptr) return false;
    const guchar* p = gdk_pixbuf_read_pixels(pixel);
    rgb[0] = p[0];
    rgb[1] = p[1];
    rgb[2] = p[2];
    g_object_unref(pixel);
    return true;
}

Result inputTimings(os::InputTimings& out) {
    out = os::InputTimings{};
    out.doubleClickTime = static_cast<int32_t>(getDoubleClickTime());
    out.dragWidth = getSystemMetrics(kSmCxDrag);
    out.dragHeight = getSystemMetrics(kSmCyDrag);
    const uint32_t blink = getCaretBlinkTime();
    out.caretBlinkTime = blink == 0xFFFFFFFFu ? 0x7FFFFFFF : static_cast<int32_t>(blink);
    unsigned delay = 0, interval = 0;
    if (keyRepeat(delay, interval) && interval > 0) {
        // In the settings' units: the delay in quarter seconds from 250 ms
        // (0..3), the speed as repeats a second minus 2 (0..31).
        out.keyboardDelay = std::clamp(static_cast<int32_t>((delay + 125) / 250) - 1, 0, 3);
        out.keyboardSpeed = std::clamp(static_cast<int32_t>(1000 / interval) - 2, 0, 31);
    }
    return kOk;
}

}  // namespace Platform::window
