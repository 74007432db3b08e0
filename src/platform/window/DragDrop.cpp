#include "platform/window/DragDrop.h"

#include <gtk/gtk.h>

#include <cmath>
#include <utility>

#include "platform/window/GtkRuntime.h"
#include "platform/window/WindowData.h"

namespace Platform::window {

DropTarget::~DropTarget() = default;

namespace {

// The one kind of data a drag may give (from this program or another).
GtkTargetEntry g_uriList{const_cast<gchar*>("text/uri-list"), 0, 0};

bool usable(WindowHandle w) { return WindowData::isLive(w) && !w->destroying; }

uint32_t keysOf(GtkWidget* widget) {
    GdkWindow* gw = gtk_widget_get_window(widget);
    GdkDisplay* display = gtk_widget_get_display(widget);
    GdkSeat* seat = display != nullptr ? gdk_display_get_default_seat(display) : nullptr;
    GdkDevice* pointer = seat != nullptr ? gdk_seat_get_pointer(seat) : nullptr;
    if (gw == nullptr || pointer == nullptr) return 0;
    GdkModifierType state = static_cast<GdkModifierType>(0);
    gdk_window_get_device_position(gw, pointer, nullptr, nullptr, &state);
    uint32_t keys = 0;
    if (state & GDK_BUTTON1_MASK) keys |= kMkLButton;
    if (state & GDK_BUTTON3_MASK) keys |= kMkRButton;
    if (state & GDK_BUTTON2_MASK) keys |= kMkMButton;
    if (state & GDK_SHIFT_MASK) keys |= kMkShift;
    if (state & GDK_CONTROL_MASK) keys |= kMkControl;
    return keys;
}

Point screenPoint(GtkWidget* widget, gint x, gint y) {
    gint ox = 0, oy = 0;
    if (GdkWindow* gw = gtk_widget_get_window(widget)) gdk_window_get_origin(gw, &ox, &oy);
    return Point{ox + x, oy + y};
}

DragData filesOf(GtkSelectionData* selection) {
    DragData data;
    gchar** uris = selection != nullptr ? gtk_selection_data_get_uris(selection) : nullptr;
    if (uris == nullptr) return data;
    data.hasFiles = true;
    for (gchar** uri = uris; *uri != nullptr; ++uri) {
        if (gchar* name = g_filename_from_uri(*uri, nullptr, nullptr)) {
            data.files.emplace_back(name);
            g_free(name);
        }
    }
    g_strfreev(uris);
    if (data.files.empty()) data.hasFiles = false;  // only remote places: nothing a file name can hold
    return data;
}

void status(GdkDragContext* context, uint32_t effect, guint time) {
    gdk_drag_status(context, effect == kDropEffectCopy ? GDK_ACTION_COPY : static_cast<GdkDragAction>(0), time);
}

void enter(WindowHandle w, GtkWidget* widget, GdkDragContext* context, guint time) {
    uint32_t effect = kDropEffectNone;
    if (w->drag.target) {
        const std::shared_ptr<DropTarget> keep = w->drag.target;
        (void)keep->dragEnter(w->drag.data, keysOf(widget), w->drag.point, effect);
    }
    status(context, effect, time);
}

gboolean onLeaveLater(gpointer data) {
    auto* w = static_cast<WindowData*>(data);
    w->drag.leaveSource = 0;
    if (!w->drag.inside) return G_SOURCE_REMOVE;
    w->drag.inside = false;
    w->drag.entering = false;
    if (const std::shared_ptr<DropTarget> keep = w->drag.target) (void)keep->dragLeave();
    return G_SOURCE_REMOVE;
}

gboolean onDragMotion(GtkWidget* widget, GdkDragContext* context, gint x, gint y, guint time, gpointer data) {
    auto* w = static_cast<WindowData*>(data);
    w->drag.point = screenPoint(widget, x, y);
    if (w->drag.leaveSource != 0) {
        // Left and came back before the leave was told: one drag goes on.
        g_source_remove(w->drag.leaveSource);
        w->drag.leaveSource = 0;
    }
    if (!w->drag.inside) {
        w->drag.inside = true;
        w->drag.data = DragData{};
        const GdkAtom target = gtk_drag_dest_find_target(widget, context, nullptr);
        if (target == GDK_NONE) {
            enter(w, widget, context, time);
        } else {
            // The file list arrives with the data; the target is told then.
            w->drag.entering = true;
            gtk_drag_get_data(widget, context, target, time);
        }
        return TRUE;
    }
    if (w->drag.entering) return TRUE;  // still waiting for the list
    uint32_t effect = kDropEffectNone;
    if (const std::shared_ptr<DropTarget> keep = w->drag.target)
        (void)keep->dragOver(keysOf(widget), w->drag.point, effect);
    status(context, effect, time);
    return TRUE;
}

void onDragLeave(GtkWidget*, GdkDragContext*, guint, gpointer data) {
    auto* w = static_cast<WindowData*>(data);
    // A drop is announced by a leave first; the leave is told only when no drop follows.
    if (w->drag.leaveSource == 0) w->drag.leaveSource = g_idle_add(onLeaveLater, w);
}

gboolean onDragDrop(GtkWidget* widget, GdkDragContext* context, gint x, gint y, guint time, gpointer data) {
    auto* w = static_cast<WindowData*>(data);
    if (w->drag.leaveSource != 0) {
        g_source_remove(w->drag.leaveSource);
        w->drag.leaveSource = 0;
    }
    w->drag.point = screenPoint(widget, x, y);
    const GdkAtom target = gtk_drag_dest_find_target(widget, context, nullptr);
    if (target == GDK_NONE || !w->drag.inside) {
        w->drag.inside = false;
        gtk_drag_finish(context, FALSE, FALSE, time);
        return TRUE;
    }
    w->drag.dropping = true;
    gtk_drag_get_data(widget, context, target, time);
    return TRUE;
}

void onDataReceived(GtkWidget* widget, GdkDragContext* context, gint, gint, GtkSelectionData* selection, guint,
                    guint time, gpointer data) {
    auto* w = static_cast<WindowData*>(data);
    if (w->drag.entering) {
        w->drag.entering = false;
        w->drag.data = filesOf(selection);
        enter(w, widget, context, time);
        return;
    }
    if (!w->drag.dropping) return;
    w->drag.dropping = false;
    w->drag.inside = false;
    uint32_t effect = kDropEffectNone;
    if (const std::shared_ptr<DropTarget> keep = w->drag.target)
        (void)keep->drop(filesOf(selection), keysOf(widget), w->drag.point, effect);
    gtk_drag_finish(context, effect == kDropEffectCopy, FALSE, time);
}

void connect(WindowHandle w) {
    if (w->area == nullptr) return;
    gtk_drag_dest_set(w->area, static_cast<GtkDestDefaults>(0), &g_uriList, 1, GDK_ACTION_COPY);
    g_signal_connect(w->area, "drag-motion", G_CALLBACK(onDragMotion), w);
    g_signal_connect(w->area, "drag-leave", G_CALLBACK(onDragLeave), w);
    g_signal_connect(w->area, "drag-drop", G_CALLBACK(onDragDrop), w);
    g_signal_connect(w->area, "drag-data-received", G_CALLBACK(onDataReceived), w);
}

void disconnect(WindowHandle w) {
    if (w->area == nullptr) return;
    gtk_drag_dest_unset(w->area);
    g_signal_handlers_disconnect_by_func(w->area, reinterpret_cast<gpointer>(onDragMotion), w);
    g_signal_handlers_disconnect_by_func(w->area, reinterpret_cast<gpointer>(onDragLeave), w);
    g_signal_handlers_disconnect_by_func(w->area, reinterpret_cast<gpointer>(onDragDrop), w);
    g_signal_handlers_disconnect_by_func(w->area, reinterpret_cast<gpointer>(onDataReceived), w);
    if (w->drag.leaveSource != 0) g_source_remove(w->drag.leaveSource);
    w->drag.leaveSource = 0;
}

}  // namespace

Result registerDragDrop(WindowHandle window, std::shared_ptr<DropTarget> target) {
    if (!usable(window) || !target) return kInvalidArg;
    if (window->drag.target) return kErrorAlreadyRegistered;
    window->drag = WindowData::DragState{};
    window->drag.target = std::move(target);
    connect(window);
    return kOk;
}

Result revokeDragDrop(WindowHandle window) {
    // Allowed while the window is being destroyed (its destroy message is
    // where owners revoke), not after.
    if (!WindowData::isLive(window)) return kInvalidArg;
    if (!window->drag.target) return kInvalidArg;
    disconnect(window);
    window->drag = WindowData::DragState{};
    return kOk;
}

SyntheticDrag::SyntheticDrag(WindowHandle window, DragData data) : window_(window), data_(std::move(data)) {}

SyntheticDrag::~SyntheticDrag() {
    if (inside_) leave();
}

uint32_t SyntheticDrag::moveTo(Point screen, uint32_t keyState) {
    uint32_t effect = kDropEffectNone;
    if (!usable(window_) || !window_->drag.target) return effect;
    const std::shared_ptr<DropTarget> keep = window_->drag.target;
    if (!inside_) {
        inside_ = true;
        (void)keep->dragEnter(data_, keyState, screen, effect);
    } else {
        (void)keep->dragOver(keyState, screen, effect);
    }
    return effect;
}

void SyntheticDrag::leave() {
    if (!inside_) return;
    inside_ = false;
    if (!usable(window_) || !window_->drag.target) return;
    const std::shared_ptr<DropTarget> keep = window_->drag.target;
    (void)keep->dragLeave();
}

uint32_t SyntheticDrag::drop(Point screen, uint32_t keyState) {
    uint32_t effect = moveTo(screen, keyState);
    if (!inside_) return effect;
    if (effect == kDropEffectNone) {
        // As a source does: a drop the target refuses is a leave.
        leave();
        return effect;
    }
    inside_ = false;
    effect = kDropEffectNone;
    if (!usable(window_) || !window_->drag.target) return effect;
    const std::shared_ptr<DropTarget> keep = window_->drag.target;
    (void)keep->drop(data_, keyState, screen, effect);
    return effect;
}

}  // namespace Platform::window
