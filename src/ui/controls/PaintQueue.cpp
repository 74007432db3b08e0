#include "ui/controls/PaintQueue.h"

#include <algorithm>
#include <vector>

#include "core/Timer.h"
#include "ui/controls/WindowControl.h"
#include "ui/framework/WindowService.h"

namespace Window {

namespace {

std::vector<WindowControl*>& queued() {
    static std::vector<WindowControl*> list;
    return list;
}

// Lives as long as the process: static objects may go after the queue it is set on.
System::Timer& flushTimer() {
    static auto* timer = new System::Timer;
    return *timer;
}

}  // namespace

void PaintQueue::invalidate(WindowControl* control) {
    if (control == nullptr || isQueued(control)) return;
    queued().push_back(control);
    if (flushTimer().id() == 0) flushTimer().set(0, [] { flush(); });
}

void PaintQueue::forget(WindowControl* control) {
    std::erase(queued(), control);
    if (queued().empty()) flushTimer().clear();
}

void PaintQueue::flush() {
    flushTimer().clear();
    // A control drawn may ask again or go: take the list first.
    std::vector<WindowControl*> list;
    list.swap(queued());
    if (WindowService::get() == nullptr) return;
    for (WindowControl* control : list) control->procPaint();
}

bool PaintQueue::isQueued(const WindowControl* control) {
    return std::find(queued().begin(), queued().end(), control) != queued().end();
}

size_t PaintQueue::size() { return queued().size(); }

}  // namespace Window
