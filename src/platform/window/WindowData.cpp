#include "platform/window/WindowData.h"

#include <unordered_set>
#include <vector>

#include "platform/os/ThreadSafety.h"
#include "platform/window/ThreadQueue.h"

namespace Platform::window {
namespace {
os::Mutex g_registryMutex;
std::unordered_set<WindowHandle>& registry() REQUIRES(g_registryMutex) {
    static std::unordered_set<WindowHandle> s;
    return s;
}
}  // namespace

void WindowData::add(WindowHandle window) {
    os::MutexLock lock(g_registryMutex);
    registry().insert(window);
}

void WindowData::remove(WindowHandle window) {
    os::MutexLock lock(g_registryMutex);
    registry().erase(window);
}

bool WindowData::isLive(WindowHandle window) {
    os::MutexLock lock(g_registryMutex);
    return window != nullptr && registry().count(window) != 0;
}

std::shared_ptr<ThreadQueue> WindowData::queueOf(WindowHandle window) {
    os::MutexLock lock(g_registryMutex);
    if (window == nullptr || registry().count(window) == 0) return nullptr;
    return window->queue;
}

std::vector<WindowHandle> WindowData::takeWindowsOf(const ThreadQueue* queue) {
    os::MutexLock lock(g_registryMutex);
    std::vector<WindowHandle> owned;
    for (WindowHandle w : registry())
        if (w->queue.get() == queue) owned.push_back(w);
    for (WindowHandle w : owned) registry().erase(w);
    return owned;
}

std::vector<WindowHandle> WindowData::ownedBy(WindowHandle owner) {
    os::MutexLock lock(g_registryMutex);
    std::vector<WindowHandle> owned;
    for (WindowHandle w : registry())
        if (w->owner == owner && !w->destroying) owned.push_back(w);
    return owned;
}

}  // namespace Platform::window
