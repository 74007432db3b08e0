#include "core/EventCommandPost.h"

#include <atomic>

#include "platform/window/MessageQueue.h"

namespace Event {
namespace {
std::atomic<Platform::window::WindowHandle> g_window{nullptr};
}  // namespace

void setCommandWindow(Platform::window::WindowHandle window) { g_window.store(window); }

Platform::window::WindowHandle commandWindow() { return g_window.load(); }

bool postEventCommand(EventCommandType kind, intptr_t payload) {
    const auto window = g_window.load();
    if (window == nullptr) return false;
    return Platform::window::postMessage(window, Platform::window::kWmUser, static_cast<uintptr_t>(kind), payload);
}

}  // namespace Event
