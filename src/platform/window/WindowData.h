#pragma once
#include <gtk/gtk.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/window/DragDrop.h"
#include "platform/window/Message.h"

// What a window handle points to (layer-internal): its procedure, its
// owner's queue, the GTK widgets (none for a window made without a display)
// and the persistent drawing surface that expose events show.
namespace Platform::window {

class ThreadQueue;

struct WindowData {
    WindowProc procedure = nullptr;
    intptr_t userData = 0;
    std::shared_ptr<ThreadQueue> queue;
    GtkWidget* toplevel = nullptr;
    GtkWidget* area = nullptr;
    cairo_surface_t* surface = nullptr;
    int32_t width = 0;  // client size
    int32_t height = 0;
    int32_t x = 0;  // screen position of the client area
    int32_t y = 0;
    WindowPos placement;  // outer position and size, as the last change left them
    bool visible = false;
    bool maximized = false;
    bool minimized = false;
    bool destroying = false;
    bool sized = false;  // the first size message has been queued
    bool popup = false;
    WindowHandle owner = nullptr;
    GdkCursor* cursor = nullptr;  // shown over the client area; null: the default
    uint32_t trackFlags = 0;      // trackMouseEvent requests still open
    uint32_t hoverTimeMs = 0;
    guint hoverSource = 0;
    Point lastMouse;  // client coordinates of the last motion

    // Drag and drop from other programs (DragDrop.cpp).
    struct DragState {
        std::shared_ptr<DropTarget> target;
        bool inside = false;    // entered and not yet left or dropped
        bool entering = false;  // the file list was asked for on entering
        bool dropping = false;  // the file list was asked for by a drop
        guint leaveSource = 0;  // a leave waiting to learn whether a drop follows
        Point point;            // screen coordinates
        DragData data;
    } drag;

    // The registry of live windows, shared by every thread.
    static void add(WindowHandle window);
    static void remove(WindowHandle window);
    static bool isLive(WindowHandle window);
    // The owner's queue of a live window, else null.
    static std::shared_ptr<ThreadQueue> queueOf(WindowHandle window);
    // The windows a thread still owns when it ends go with it, silently.
    static void freeWindowsOf(const ThreadQueue* queue);
    static std::vector<WindowHandle> takeWindowsOf(const ThreadQueue* queue);
    // The live windows whose owner is the window.
    static std::vector<WindowHandle> ownedBy(WindowHandle owner);
};

}  // namespace Platform::window
