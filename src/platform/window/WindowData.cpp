#include "platform/window/WindowData.h"

#include <mutex>
#include <unordered_set>
#include <vector>

#include "platform/window/ThreadQueue.h"

namespace Platform::window {
namespace {
std::mutex& registryMutex() {
    static std::mutex m;
    return m;
}
std::unordered_set<WindowHandle>& registry() {
    static std::unordered_set<WindowHandle> s;
    return s;
}
}  // namespace

void WindowData::add(WindowHandle window) {
    std::lock_guard lock(registryMutex());
    registry().insert(window);
}

void WindowData::remove(WindowHandle window) {
    std::lock_guard lock(registryMutex());
    registry().erase(window);
}

bool WindowData::isLive(WindowHandle window) {
    std::lock_guard lock(registryMutex());
    return window != nullptr && registry().count(window) != 0;
}

std::shared_ptr<ThreadQueue> WindowData::queueOf(WindowHandle window) {
    std::lock_guard lock(registryMutex());
    if (window == nullptr || registry().count(window) == 0) return nullptr;
    return window->queue;
}

std::vector<WindowHandle> WindowData::takeWindowsOf(const ThreadQueue* queue) {
    std::lock_guard lock(registryMutex());
    std::vector<WindowHandle> owned;
    for (WindowHandle w : registry())
        if (w->queue.get() == queue) owned.push_back(w);
    for (WindowHandle w : owned) registry().erase(w);
    return owned;
}

}  // namespace Platform::window
