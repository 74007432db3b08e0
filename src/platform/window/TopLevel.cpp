#include "platform/window/TopLevel.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <memory>

#include "platform/window/GtkRuntime.h"
#include "platform/window/InputMethod.h"
#include "platform/window/KeyMap.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/SystemMetrics.h"
#include "platform/window/ThreadQueue.h"
#include "platform/window/WindowData.h"

namespace Platform::window {
namespace {

constexpr int kErrorInvalidWindowHandle = EBADF;

WindowHandle g_capture = nullptr;
Point g_pointer;  // screen position of the last pointer event
WindowHandle g_focus = nullptr;

bool live(WindowHandle w) {
    if (WindowData::isLive(w) && !w->destroying) return true;
    errno = kErrorInvalidWindowHandle;
    return false;
}

// Message times use the queue's clock (not the X server's), so they compare
// with tickCount.
Message inputMessage(WindowHandle w, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    Message m = timedMessage(w, message, wParam, lParam);
    m.pt = g_pointer;
    return m;
}

void queueInput(WindowHandle w, const Message& m) { w->queue->pushInput(m); }

uintptr_t mouseKeys(guint state) {
    uintptr_t k = 0;
    if (state & GDK_BUTTON1_MASK) k |= kMkLButton;
    if (state & GDK_BUTTON3_MASK) k |= kMkRButton;
    if (state & GDK_BUTTON2_MASK) k |= kMkMButton;
    if (state & GDK_SHIFT_MASK) k |= kMkShift;
    if (state & GDK_CONTROL_MASK) k |= kMkControl;
    return k;
}

// A modifier let go while another program's window or a dialog of the
// toolkit had the keyboard (a file chooser opened by Ctrl+S takes the Ctrl
// release) never reaches this window: the key map would hold it down for
// good, and every later click would be a Ctrl-click. The state of each event
// that reaches the window tells which modifiers are really down; one the map
// holds down but the event does not becomes the key-up the window missed,
// queued before the event. `skip` is the modifier the event itself is about.
void releaseMissedModifiers(WindowHandle w, guint state, uint32_t skip = 0) {
    struct Modifier {
        uint32_t vk, generic;
        guint mask;
        uint32_t scan;
        bool extended;
    };
    static constexpr Modifier kModifiers[] = {
        {kVkLShift, kVkShift, GDK_SHIFT_MASK, 0x2A, false},
        {kVkRShift, kVkShift, GDK_SHIFT_MASK, 0x36, false},
        {kVkLControl, kVkControl, GDK_CONTROL_MASK, 0x1D, false},
        {kVkRControl, kVkControl, GDK_CONTROL_MASK, 0x1D, true},
        {kVkLMenu, kVkMenu, GDK_MOD1_MASK, 0x38, false},
        {kVkRMenu, kVkMenu, GDK_MOD1_MASK, 0x38, true},
    };
    for (const Modifier& m : kModifiers) {
        if ((state & m.mask) != 0 || m.generic == skip || (KeyMap::asyncKeyState(m.vk) & 0x8000) == 0) continue;
        KeyMap::noteEvent(m.vk, false);
        const uint32_t lp = 1u | (m.scan << 16) | (m.extended ? 1u << 24 : 0u) | (1u << 30) | (1u << 31);
        const uint32_t message = m.generic == kVkMenu ? kWmSysKeyUp : kWmKeyUp;
        queueInput(w, inputMessage(w, message, m.generic, static_cast<intptr_t>(static_cast<int32_t>(lp))));
    }
}

void makeSurface(WindowHandle w, int32_t width, int32_t height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    cairo_surface_t* fresh = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(fresh);
    if (w->surface != nullptr) {
        // Keep what was drawn; the program redraws on the size message.
        cairo_set_source_surface(cr, w->surface, 0, 0);
        cairo_paint(cr);
        cairo_surface_destroy(w->surface);
    }
    cairo_destroy(cr);
    w->surface = fresh;
}

void updateOrigin(WindowHandle w) {
    if (w->area == nullptr || w->popup) return;
    GdkWindow* gw = gtk_widget_get_window(w->area);
    if (gw == nullptr) return;
    gint x = 0, y = 0;
    gdk_window_get_origin(gw, &x, &y);
    w->x = x;
    w->y = y;
}

// GTK handlers: they only record and queue; the window procedure runs from
// the program's own dispatch.
gboolean onDraw(GtkWidget*, cairo_t* cr, gpointer data) {
    auto* w = static_cast<WindowData*>(data);
    if (w->surface != nullptr) {
        cairo_set_source_surface(cr, w->surface, 0, 0);
        cairo_paint(cr);
    }
    return TRUE;
}

void onSizeAllocate(GtkWidget*, GdkRectangle* a, gpointer data) {
    auto* w = static_cast<WindowData*>(data);
    // The first allocation always reports the size, as showing a window does.
    if (a->width == w->width && a->height == w->height && w->sized) return;
    w->sized = true;
    w->width = a->width;
    w->height = a->height;
    makeSurface(w, a->width, a->height);
    const uintptr_t kind = w->minimized ? kSizeMinimized : w->maximized ? kSizeMaximized : kSizeRestored;
    queueInput(w, inputMessage(w, kWmSize, kind, makeLParam(a->width, a->height)));
}

gboolean onConfigure(GtkWidget*, GdkEventConfigure* e, gpointer data) {
    auto* w = static_cast<WindowData*>(data);
    const int32_t oldX = w->x, oldY = w->y;
    updateOrigin(w);
    if (w->x != oldX || w->y != oldY) queueInput(w, inputMessage(w, kWmMove, 0, makeLParam(w->x, w->y)));
    // The position is the frame's, where the window manager put its corner:
    // the one creating and moving a window places. The event's own position
    // is the client's, lower by the title bar, so storing it would move the
    // window down at every start.
    gint x = e->x, y = e->y;
    if (!w->popup && w->toplevel != nullptr) gtk_window_get_position(GTK_WINDOW(w->toplevel), &x, &y);
    WindowPos& p = w->placement;
    uint32_t flags = 0;
    if (x == p.x && y == p.y) flags |= kSwpNoMove;
    if (e->width == p.cx && e->height == p.cy) flags |= kSwpNoSize;
    if (flags != (kSwpNoMove | kSwpNoSize)) {
        p = WindowPos{w, nullptr, x, y, e->width, e->height, flags};
        queueInput(w, inputMessage(w, kWmWindowPosChanged, 0, reinterpret_cast<intptr_t>(&p)));
    }
    return FALSE;
}

gboolean onWindowState(GtkWidget*, GdkEventWindowState* e, gpointer data) {
    auto* w = static_cast<WindowData*>(data);
    const bool wasMaximized = w->maximized, wasMinimized = w->minimized;
    w->maximized = (e->new_window_state & GDK_WINDOW_STATE_MAXIMIZED) != 0;
    w->minimized = (e->new_window_state & GDK_WINDOW_STATE_ICONIFIED) != 0;
    if (w->minimized && !wasMinimized) queueInput(w, inputMessage(w, kWmSize, kSizeMinimized, 0));
    if (w->maximized != wasMaximized || w->minimized != wasMinimized) {
        // The state changed with the placement unchanged: readers look at isZoomed / isIconic.
        w->placement.flags = kSwpNoMove | kSwpNoSize;
        queueInput(w, inputMessage(w, kWmWindowPosChanged, 0, reinterpret_cast<intptr_t>(&w->placement)));
    }
    return FALSE;
}

void applySizeLimits(WindowHandle w) {
    if (w->procedure == nullptr || w->toplevel == nullptr) return;
    MinMaxInfo info{};
    w->procedure(w, kWmGetMinMaxInfo, 0, reinterpret_cast<intptr_t>(&info));
    if (info.minTrackSize.x <= 0 && info.minTrackSize.y <= 0) return;
    GdkGeometry geometry{};
    geometry.min_width = std::max(info.minTrackSize.x, 1);
    geometry.min_height = std::max(info.minTrackSize.y, 1);
    gtk_window_set_geometry_hints(GTK_WINDOW(w->toplevel), nullptr, &geometry, GDK_HINT_MIN_SIZE);
}

gboolean onDelete(GtkWidget*, GdkEvent*, gpointer data) {
    auto* w = static_cast<WindowData*>(data);
    queueInput(w, inputMessage(w, kWmClose, 0, 0));
    return TRUE;  // the procedure decides
}

gboolean onFocus(GtkWidget*, GdkEventFocus* e, gpointer data) {
    auto* w = static_cast<WindowData*>(data);
    InputMethod::focusChanged(w, e->in != 0);
    if (e->in) {
        g_focus = w;
        queueInput(w, inputMessage(w, kWmActivate, 1, 0));
        queueInput(w, inputMessage(w, kWmSetFocus, 0, 0));
    } else {
        if (g_focus != nullptr && g_focus != w && g_focus->popup && g_focus->owner == w && isWindow(g_focus))
            queueInput(g_focus, inputMessage(g_focus, kWmKillFocus, 0, 0));
        if (g_focus == w || (g_focus != nullptr && g_focus->owner == w)) g_focus = nullptr;
        queueInput(w, inputMessage(w, kWmKillFocus, 0, 0));
        queueInput(w, inputMessage(w, kWmActivate, 0, 0));
    }
    return FALSE;
}

gboolean onKey(GtkWidget*, GdkEventKey* e, gpointer data) {
    auto* w = static_cast<WindowData*>(data);
    // A popup cannot hold the display's keyboard focus: while it has the
    // program's focus, its owner's keys are its keys.
    if (g_focus != nullptr && g_focus->popup && g_focus->owner == w && isWindow(g_focus) && g_focus->visible)
        w = g_focus;
    const bool down = e->type == GDK_KEY_PRESS;
    // The key's meaning without modifiers, so shifted symbols keep their key.
    guint base = e->keyval;
    gdk_keymap_translate_keyboard_state(gdk_keymap_get_for_display(gdk_display_get_default()), e->hardware_keycode,
                                        static_cast<GdkModifierType>(0), 0, &base, nullptr, nullptr, nullptr);
    uint32_t vk = KeyMap::virtualKeyFromKeyval(base);
    if (vk == 0) vk = KeyMap::virtualKeyFromKeyval(e->keyval);
    char32_t given = 0;
    if (InputMethod::filterKey(w, e, given)) {
        if (!down && vk != 0) KeyMap::noteEvent(vk, false);
        return TRUE;
    }
    // A character without a key of its own (a non-Latin letter typed through
    // a keymap entry made for it) comes as the packet key.
    if (vk == 0 && (given != 0 || gdk_keyval_to_unicode(e->keyval) >= 0x20)) vk = kVkPacket;
    if (vk == 0) return FALSE;
    const uint32_t modifier = vk == kVkLShift || vk == kVkRShift       ? kVkShift
                              : vk == kVkLControl || vk == kVkRControl ? kVkControl
                              : vk == kVkLMenu || vk == kVkRMenu       ? kVkMenu
                                                                       : 0;
    releaseMissedModifiers(w, e->state, modifier);
    const bool wasDown = (KeyMap::asyncKeyState(vk) & 0x8000) != 0;
    KeyMap::noteEvent(vk, down);
    uint32_t scan = (e->hardware_keycode >= 8 ? e->hardware_keycode - 8u : 0u) & 0xFF;
    bool extended = false;
    if (vk == kVkRControl) scan = 0x1D, extended = true;
    if (vk == kVkRMenu) scan = 0x38, extended = true;
    if (vk >= kVkPrior && vk <= kVkDown) extended = true;
    if (vk == kVkInsert || vk == kVkDelete || vk == kVkDivide) extended = true;
    // Messages carry the generic modifier keys.
    uint32_t msgVk = vk;
    if (vk == kVkLShift || vk == kVkRShift) msgVk = kVkShift;
    if (vk == kVkLControl || vk == kVkRControl) msgVk = kVkControl;
    if (vk == kVkLMenu || vk == kVkRMenu) msgVk = kVkMenu;
    const bool alt = (e->state & GDK_MOD1_MASK) != 0 || msgVk == kVkMenu;
    const bool sys = alt || msgVk == kVkF1 + 9;
    uint32_t lp = 1u | (scan << 16) | (extended ? 1u << 24 : 0u) | (alt ? 1u << 29 : 0u);
    if (down && wasDown) lp |= 1u << 30;
    if (!down) lp |= (1u << 30) | (1u << 31);
    uint32_t message = down ? (sys ? kWmSysKeyDown : kWmKeyDown) : (sys ? kWmSysKeyUp : kWmKeyUp);
    Message m = inputMessage(w, message, msgVk, static_cast<intptr_t>(static_cast<int32_t>(lp)));
    if (down) {
        char32_t c = given != 0 ? given : gdk_keyval_to_unicode(e->keyval);
        // Ctrl with a letter gives the control character, as the program expects.
        if ((e->state & GDK_CONTROL_MASK) != 0 && vk >= 'A' && vk <= 'Z') c = vk - 'A' + 1;
        if (vk == kVkReturn) c = U'\r';
        if (vk == kVkBack) c = 8;
        if (vk == kVkEscape) c = 0x1B;
        if (vk == kVkTab) c = U'\t';
        if (vk == kVkDelete) c = 0;
        m.keyChar = c;
    }
    queueInput(w, m);
    return TRUE;
}

gboolean onButton(GtkWidget*, GdkEventButton* e, gpointer data) {
    auto* w = static_cast<WindowData*>(data);
    if (e->type != GDK_BUTTON_PRESS && e->type != GDK_BUTTON_RELEASE)
        return TRUE;  // double clicks are counted by the program
    const bool down = e->type == GDK_BUTTON_PRESS;
    uint32_t message = 0, vk = 0;
    switch (e->button) {
    case 1: message = down ? kWmLButtonDown : kWmLButtonUp, vk = kVkLButton; break;
    case 2: message = down ? kWmMButtonDown : kWmMButtonUp, vk = kVkMButton; break;
    case 3: message = down ? kWmRButtonDown : kWmRButtonUp, vk = kVkRButton; break;
    default: return TRUE;
    }
    releaseMissedModifiers(w, e->state);
    KeyMap::noteEvent(vk, down);
    g_pointer = {static_cast<int32_t>(std::floor(e->x_root)), static_cast<int32_t>(std::floor(e->y_root))};
    // The state is from before the event; the message carries the state after it.
    uintptr_t keys = mouseKeys(e->state);
    const uintptr_t bit = e->button == 1 ? kMkLButton : e->button == 3 ? kMkRButton : kMkMButton;
    keys = down ? (keys | bit) : (keys & ~bit);
    const auto x = static_cast<int32_t>(std::floor(e->x)), y = static_cast<int32_t>(std::floor(e->y));
    queueInput(w, inputMessage(w, message, keys, makeLParam(x, y)));
    return TRUE;
}

gboolean onHoverTimeout(gpointer data) {
    auto* w = static_cast<WindowData*>(data);
    w->hoverSource = 0;
    if ((w->trackFlags & kTmeHover) != 0) {
        w->trackFlags &= ~kTmeHover;
        queueInput(w, inputMessage(w, kWmMouseHover, 0, makeLParam(w->lastMouse.x, w->lastMouse.y)));
    }
    return G_SOURCE_REMOVE;
}

void restartHover(WindowHandle w) {
    if (w->hoverSource != 0) g_source_remove(w->hoverSource);
    w->hoverSource = 0;
    if ((w->trackFlags & kTmeHover) != 0) w->hoverSource = g_timeout_add(w->hoverTimeMs, onHoverTimeout, w);
}

gboolean onMotion(GtkWidget*, GdkEventMotion* e, gpointer data) {
    auto* w = static_cast<WindowData*>(data);
    const auto x = static_cast<int32_t>(std::floor(e->x)), y = static_cast<int32_t>(std::floor(e->y));
    w->lastMouse = {x, y};
    g_pointer = {static_cast<int32_t>(std::floor(e->x_root)), static_cast<int32_t>(std::floor(e->y_root))};
    restartHover(w);
    releaseMissedModifiers(w, e->state);
    queueInput(w, inputMessage(w, kWmMouseMove, mouseKeys(e->state), makeLParam(x, y)));
    return TRUE;
}

gboolean onScroll(GtkWidget*, GdkEventScroll* e, gpointer data) {
    auto* w = static_cast<WindowData*>(data);
    int32_t delta = 0;
    uint32_t message = kWmMouseWheel;
    switch (e->direction) {
    case GDK_SCROLL_UP: delta = kWheelDelta; break;
    case GDK_SCROLL_DOWN: delta = -kWheelDelta; break;
    case GDK_SCROLL_LEFT: delta = -kWheelDelta, message = kWmMouseHWheel; break;
    case GDK_SCROLL_RIGHT: delta = kWheelDelta, message = kWmMouseHWheel; break;
    case GDK_SCROLL_SMOOTH:
        if (e->delta_y != 0)
            delta = static_cast<int32_t>(std::lround(-e->delta_y * kWheelDelta));
        else
            delta = static_cast<int32_t>(std::lround(e->delta_x * kWheelDelta)), message = kWmMouseHWheel;
        break;
    }
    if (delta == 0) return TRUE;
    const uintptr_t wp = (mouseKeys(e->state) & 0xFFFF) | (static_cast<uintptr_t>(static_cast<uint16_t>(delta)) << 16);
    const auto sx = static_cast<int32_t>(std::floor(e->x_root)), sy = static_cast<int32_t>(std::floor(e->y_root));
    g_pointer = {sx, sy};
    releaseMissedModifiers(w, e->state);
    queueInput(w, inputMessage(w, message, wp, makeLParam(sx, sy)));
    return TRUE;
}

gboolean onLeave(GtkWidget*, GdkEventCrossing* e, gpointer data) {
    auto* w = static_cast<WindowData*>(data);
    if (e->mode != GDK_CROSSING_NORMAL || (e->state & (GDK_BUTTON1_MASK | GDK_BUTTON3_MASK)) != 0) return FALSE;
    if ((w->trackFlags & kTmeLeave) != 0) {
        w->trackFlags = 0;
        restartHover(w);
        queueInput(w, inputMessage(w, kWmMouseLeave, 0, 0));
    }
    return FALSE;
}

// A cursor chosen before the window existed on screen takes effect now.
void onRealize(GtkWidget* area, gpointer data) {
    auto* w = static_cast<WindowData*>(data);
    if (w->cursor != nullptr) gdk_window_set_cursor(gtk_widget_get_window(area), w->cursor);
    InputMethod::realized(w);
}

void buildWidgets(WindowHandle w, const WindowDesc& desc) {
    w->toplevel = gtk_window_new(desc.popup ? GTK_WINDOW_POPUP : GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(w->toplevel), desc.title.c_str());
    gtk_window_set_default_size(GTK_WINDOW(w->toplevel), std::max(desc.width, 1), std::max(desc.height, 1));
    if (desc.popup) {
        gtk_window_set_resizable(GTK_WINDOW(w->toplevel), FALSE);
        gtk_widget_set_size_request(w->toplevel, std::max(desc.width, 1), std::max(desc.height, 1));
        if (WindowData::isLive(desc.owner) && desc.owner->toplevel != nullptr)
            gtk_window_set_transient_for(GTK_WINDOW(w->toplevel), GTK_WINDOW(desc.owner->toplevel));
    }
    gtk_window_move(GTK_WINDOW(w->toplevel), desc.x, desc.y);
    w->area = gtk_drawing_area_new();
    gtk_widget_set_can_focus(w->area, TRUE);
    gtk_widget_add_events(w->area, GDK_POINTER_MOTION_MASK | GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                       GDK_SCROLL_MASK | GDK_LEAVE_NOTIFY_MASK | GDK_ENTER_NOTIFY_MASK |
                                       GDK_KEY_PRESS_MASK | GDK_KEY_RELEASE_MASK);
    gtk_container_add(GTK_CONTAINER(w->toplevel), w->area);
    g_signal_connect(w->area, "draw", G_CALLBACK(onDraw), w);
    g_signal_connect_after(w->area, "realize", G_CALLBACK(onRealize), w);
    g_signal_connect(w->area, "size-allocate", G_CALLBACK(onSizeAllocate), w);
    g_signal_connect(w->area, "button-press-event", G_CALLBACK(onButton), w);
    g_signal_connect(w->area, "button-release-event", G_CALLBACK(onButton), w);
    g_signal_connect(w->area, "motion-notify-event", G_CALLBACK(onMotion), w);
    g_signal_connect(w->area, "scroll-event", G_CALLBACK(onScroll), w);
    g_signal_connect(w->area, "leave-notify-event", G_CALLBACK(onLeave), w);
    g_signal_connect(w->toplevel, "key-press-event", G_CALLBACK(onKey), w);
    g_signal_connect(w->toplevel, "key-release-event", G_CALLBACK(onKey), w);
    g_signal_connect(w->toplevel, "configure-event", G_CALLBACK(onConfigure), w);
    g_signal_connect(w->toplevel, "window-state-event", G_CALLBACK(onWindowState), w);
    g_signal_connect(w->toplevel, "delete-event", G_CALLBACK(onDelete), w);
    g_signal_connect(w->toplevel, "focus-in-event", G_CALLBACK(onFocus), w);
    g_signal_connect(w->toplevel, "focus-out-event", G_CALLBACK(onFocus), w);
    gtk_widget_show(w->area);
}

void freeWindow(WindowHandle w) {
    InputMethod::destroy(w);
    if (w->hoverSource != 0) g_source_remove(w->hoverSource);
    if (w->drag.leaveSource != 0) g_source_remove(w->drag.leaveSource);
    if (w->toplevel != nullptr) {
        // Nothing GTK reports while tearing down may reach the freed record.
        g_signal_handlers_disconnect_by_data(w->area, w);
        g_signal_handlers_disconnect_by_data(w->toplevel, w);
        gtk_widget_destroy(w->toplevel);
    }
    if (w->cursor != nullptr) g_object_unref(w->cursor);
    if (w->surface != nullptr) cairo_surface_destroy(w->surface);
    delete w;
}

}  // namespace

void WindowData::freeWindowsOf(const ThreadQueue* queue) {
    for (WindowHandle w : takeWindowsOf(queue)) {
        if (g_capture == w) g_capture = nullptr;
        if (g_focus == w) g_focus = nullptr;
        freeWindow(w);
    }
}

WindowHandle createWindow(const WindowDesc& desc) {
    auto owned = std::make_unique<WindowData>();
    WindowHandle w = owned.get();
    w->procedure = desc.procedure;
    w->queue = ThreadQueue::currentShared();
    w->width = std::max(desc.width, 0);
    w->height = std::max(desc.height, 0);
    w->x = desc.x;
    w->y = desc.y;
    w->placement = WindowPos{w, nullptr, desc.x, desc.y, w->width, w->height, 0};
    w->popup = desc.popup;
    w->owner = desc.owner;
    makeSurface(w, w->width, w->height);
    if (gtk::ensure()) buildWidgets(w, desc);
    InputMethod::create(w);
    WindowData::add(w);
    owned.release();
    if (w->procedure != nullptr && w->procedure(w, kWmCreate, 0, reinterpret_cast<intptr_t>(desc.createParam)) == -1) {
        WindowData::remove(w);
        w->queue->forgetWindow(w);
        freeWindow(w);
        errno = ECANCELED;
        return nullptr;
    }
    return w;
}

bool destroyWindow(WindowHandle w) {
    if (!live(w) || !w->queue->isOwnerThread()) {
        errno = kErrorInvalidWindowHandle;
        return false;
    }
    w->destroying = true;
    // The windows it owns go first, as they cannot outlive it.
    for (WindowHandle owned : WindowData::ownedBy(w)) destroyWindow(owned);
    if (g_capture == w) releaseCapture();
    if (w->procedure != nullptr) w->procedure(w, kWmDestroy, 0, 0);
    if (g_focus == w) g_focus = nullptr;
    WindowData::remove(w);
    w->queue->forgetWindow(w);
    freeWindow(w);
    return true;
}

bool isWindow(WindowHandle w) { return WindowData::isLive(w) && !w->destroying; }

bool showWindow(WindowHandle w, int command) {
    if (!live(w)) return false;
    const bool wasVisible = w->visible;
    w->visible = command != kSwHide;
    if (w->toplevel == nullptr) {
        if (w->visible && !w->sized) {
            w->sized = true;
            queueInput(w, inputMessage(w, kWmSize, kSizeRestored, makeLParam(w->width, w->height)));
        }
        return wasVisible;
    }
    if (w->popup) {
        // Shown where it was placed, without taking the focus.
        if (w->visible) {
            gtk_window_move(GTK_WINDOW(w->toplevel), w->placement.x, w->placement.y);
            gtk_widget_show(w->toplevel);
        } else {
            gtk_widget_hide(w->toplevel);
            if (g_focus == w) {
                // The keyboard goes back to the owner.
                g_focus = isWindow(w->owner) ? w->owner : nullptr;
                if (g_focus != nullptr) queueInput(g_focus, inputMessage(g_focus, kWmSetFocus, 0, 0));
            }
        }
        return wasVisible;
    }
    if (w->visible) applySizeLimits(w);
    switch (command) {
    case kSwHide: gtk_widget_hide(w->toplevel); break;
    case kSwMaximize:
        gtk_window_maximize(GTK_WINDOW(w->toplevel));
        gtk_widget_show(w->toplevel);
        break;
    case kSwMinimize: gtk_window_iconify(GTK_WINDOW(w->toplevel)); break;
    case kSwRestore:
        gtk_window_deiconify(GTK_WINDOW(w->toplevel));
        gtk_window_unmaximize(GTK_WINDOW(w->toplevel));
        gtk_widget_show(w->toplevel);
        break;
    default: gtk_widget_show(w->toplevel); break;
    }
    updateOrigin(w);
    return wasVisible;
}

bool setWindowIcon(WindowHandle w, const uint8_t* rgba, int32_t width, int32_t height) {
    if (!live(w) || rgba == nullptr || width <= 0 || height <= 0) return false;
    if (w->toplevel == nullptr) return true;
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, width, height);
    if (pixbuf == nullptr) return false;
    const int stride = gdk_pixbuf_get_rowstride(pixbuf);
    guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
    for (int32_t y = 0; y < height; ++y)
        std::copy_n(rgba + size_t(y) * size_t(width) * 4, size_t(width) * 4, pixels + size_t(y) * size_t(stride));
    gtk_window_set_icon(GTK_WINDOW(w->toplevel), pixbuf);
    g_object_unref(pixbuf);
    return true;
}

bool hasDisplay() { return gtk::ensure(); }

bool isWindowVisible(WindowHandle w) { return isWindow(w) && w->visible; }
bool isZoomed(WindowHandle w) { return isWindow(w) && w->maximized; }
bool isIconic(WindowHandle w) { return isWindow(w) && w->minimized; }

bool setWindowText(WindowHandle w, const std::string& text) {
    if (!live(w)) return false;
    if (w->toplevel != nullptr) gtk_window_set_title(GTK_WINDOW(w->toplevel), text.c_str());
    return true;
}

bool moveWindow(WindowHandle w, int32_t x, int32_t y, int32_t width, int32_t height) {
    if (!live(w)) return false;
    if (w->popup && w->toplevel != nullptr) {
        // No frame and no window manager between: the placement is known at once.
        const bool resized = width != w->width || height != w->height;
        w->x = x;
        w->y = y;
        w->placement = WindowPos{w, nullptr, x, y, std::max(width, 0), std::max(height, 0), 0};
        gtk_widget_set_size_request(w->toplevel, std::max(width, 1), std::max(height, 1));
        gtk_window_resize(GTK_WINDOW(w->toplevel), std::max(width, 1), std::max(height, 1));
        gtk_window_move(GTK_WINDOW(w->toplevel), x, y);
        if (resized) {
            w->width = std::max(width, 0);
            w->height = std::max(height, 0);
            makeSurface(w, w->width, w->height);
        }
        return true;
    }
    if (w->toplevel == nullptr) {
        w->x = x;
        w->y = y;
        w->placement = WindowPos{w, nullptr, x, y, std::max(width, 0), std::max(height, 0), 0};
        if (width != w->width || height != w->height) {
            w->width = std::max(width, 0);
            w->height = std::max(height, 0);
            makeSurface(w, w->width, w->height);
            queueInput(w, inputMessage(w, kWmSize, kSizeRestored, makeLParam(w->width, w->height)));
        }
        return true;
    }
    gtk_window_move(GTK_WINDOW(w->toplevel), x, y);
    gtk_window_resize(GTK_WINDOW(w->toplevel), std::max(width, 1), std::max(height, 1));
    return true;
}

intptr_t getWindowUserData(WindowHandle w) { return isWindow(w) ? w->userData : 0; }

intptr_t setWindowUserData(WindowHandle w, intptr_t value) {
    if (!live(w)) return 0;
    const intptr_t old = w->userData;
    w->userData = value;
    return old;
}

bool setWindowProcedure(WindowHandle w, WindowProc procedure) {
    if (!live(w)) return false;
    w->procedure = procedure;
    return true;
}

WindowProc getWindowProcedure(WindowHandle w) { return isWindow(w) ? w->procedure : nullptr; }

bool getClientRect(WindowHandle w, Rect& rect) {
    if (!live(w)) return false;
    rect = Rect{0, 0, w->width, w->height};
    return true;
}

bool getWindowRect(WindowHandle w, Rect& rect) {
    if (!live(w)) return false;
    const WindowPos& p = w->placement;
    rect = Rect{p.x, p.y, p.x + p.cx, p.y + p.cy};
    return true;
}

bool clientToScreen(WindowHandle w, Point& p) {
    if (!live(w)) return false;
    updateOrigin(w);
    p.x += w->x;
    p.y += w->y;
    return true;
}

bool screenToClient(WindowHandle w, Point& p) {
    if (!live(w)) return false;
    updateOrigin(w);
    p.x -= w->x;
    p.y -= w->y;
    return true;
}

bool getCursorPos(Point& p) {
    // The pointer is there whether or not a window was made yet: start GTK for it.
    if (!gtk::ensure() || !gtk::onUiThread()) return false;
    GdkDisplay* display = gdk_display_get_default();
    GdkSeat* seat = display != nullptr ? gdk_display_get_default_seat(display) : nullptr;
    GdkDevice* pointer = seat != nullptr ? gdk_seat_get_pointer(seat) : nullptr;
    if (pointer == nullptr) return false;
    gint x = 0, y = 0;
    gdk_device_get_position(pointer, nullptr, &x, &y);
    p = {x, y};
    return true;
}

bool invalidateRect(WindowHandle w) {
    if (!live(w)) return false;
    w->queue->invalidate(w);
    return true;
}

bool validateRect(WindowHandle w) {
    if (!live(w)) return false;
    w->queue->validate(w);
    return true;
}

bool updateWindow(WindowHandle w) {
    if (!live(w)) return false;
    Message m;
    if (w->queue->peek(m, w, kWmPaint, kWmPaint, false) && w->procedure != nullptr) w->procedure(w, kWmPaint, 0, 0);
    return true;
}

cairo_surface_t* windowSurface(WindowHandle w) { return isWindow(w) ? w->surface : nullptr; }

void presentWindow(WindowHandle w) {
    if (!isWindow(w) || w->area == nullptr || !gtk_widget_get_mapped(w->area)) return;
    GdkWindow* gw = gtk_widget_get_window(w->area);
    cairo_surface_flush(w->surface);
    const cairo_rectangle_int_t all{0, 0, w->width, w->height};
    cairo_region_t* region = cairo_region_create_rectangle(&all);
    GdkDrawingContext* context = gdk_window_begin_draw_frame(gw, region);
    cairo_t* cr = gdk_drawing_context_get_cairo_context(context);
    cairo_set_source_surface(cr, w->surface, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    gdk_window_end_draw_frame(gw, context);
    cairo_region_destroy(region);
    gdk_display_flush(gdk_window_get_display(gw));
}

WindowHandle setCapture(WindowHandle w) {
    WindowHandle old = g_capture;
    if (!isWindow(w)) return old;
    g_capture = w;
    if (old != nullptr && old != w && isWindow(old) && old->procedure != nullptr)
        old->procedure(old, kWmCaptureChanged, 0, reinterpret_cast<intptr_t>(w));
    return old;
}

bool releaseCapture() {
    WindowHandle old = g_capture;
    g_capture = nullptr;
    if (old != nullptr && isWindow(old) && old->procedure != nullptr) old->procedure(old, kWmCaptureChanged, 0, 0);
    return true;
}

WindowHandle getCapture() { return isWindow(g_capture) ? g_capture : nullptr; }

WindowHandle setFocus(WindowHandle w) {
    WindowHandle old = getFocus();
    if (!isWindow(w)) return old;
    if (w->toplevel != nullptr && !w->popup) {
        gtk_window_present(GTK_WINDOW(w->toplevel));
        gtk_widget_grab_focus(w->area);
    } else if (old != w) {
        g_focus = w;
        if (old != nullptr) queueInput(old, inputMessage(old, kWmKillFocus, 0, 0));
        queueInput(w, inputMessage(w, kWmSetFocus, 0, 0));
    }
    return old;
}

WindowHandle getFocus() { return isWindow(g_focus) ? g_focus : nullptr; }
WindowHandle getActiveWindow() { return getFocus(); }

bool setForegroundWindow(WindowHandle w) {
    if (!live(w)) return false;
    if (w->toplevel != nullptr) gtk_window_present(GTK_WINDOW(w->toplevel));
    return true;
}

bool trackMouseEvent(WindowHandle w, uint32_t flags, uint32_t hoverMs) {
    if (!live(w)) return false;
    if ((flags & kTmeCancel) != 0) {
        w->trackFlags &= ~(flags & (kTmeHover | kTmeLeave));
    } else {
        w->trackFlags |= flags & (kTmeHover | kTmeLeave);
        if ((flags & kTmeHover) != 0) w->hoverTimeMs = hoverMs == kHoverDefault ? mouseHoverTime() : hoverMs;
    }
    if (w->area != nullptr) restartHover(w);
    return true;
}

intptr_t defWindowProc(WindowHandle w, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    (void)wParam;
    switch (message) {
    case kWmClose: destroyWindow(w); return 0;
    case kWmPaint: validateRect(w); return 0;
    case kWmRButtonUp: {
        Point p{lowWordSigned(lParam), highWordSigned(lParam)};
        clientToScreen(w, p);
        if (isWindow(w) && w->procedure != nullptr)
            w->procedure(w, kWmContextMenu, reinterpret_cast<uintptr_t>(w), makeLParam(p.x, p.y));
        return 0;
    }
    default: return 0;
    }
}

}  // namespace Platform::window
