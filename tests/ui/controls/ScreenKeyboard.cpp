#include "ui/controls/ScreenKeyboard.h"

#include <gdk/gdkx.h>
#include <X11/Xlib.h>

namespace TestSupport {

void addScreenKeys(std::initializer_list<uint32_t> symbols) {
    Display* display = gdk_x11_display_get_xdisplay(gdk_display_get_default());
    int low = 0, high = 0;
    XDisplayKeycodes(display, &low, &high);
    int keycode = high;
    for (uint32_t symbol : symbols) {
        KeySym both[2] = {symbol, symbol};
        XChangeKeyboardMapping(display, keycode--, 2, both, 1);
    }
    XSync(display, False);
}

}  // namespace TestSupport
