#pragma once
#include <cstddef>

// Controls do not draw from their input handlers: they ask to be drawn again
// and the queue draws every control that asked once, after the main loop has
// dispatched the messages already waiting (a zero-delay timer of the UI
// thread's queue fires only when the queue is otherwise empty). A press, a
// move and a release handled in one pass therefore draw the control once.
// UI thread only.
namespace Window {

class WindowControl;

class PaintQueue {
public:
    // Queues the control unless it is queued already.
    static void invalidate(WindowControl* control);
    // A control that goes leaves the queue.
    static void forget(WindowControl* control);
    // Draws the queued controls once each, in the order they asked.
    static void flush();
    static bool isQueued(const WindowControl* control);
    static size_t size();
};

}  // namespace Window
