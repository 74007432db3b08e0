#include "core/EventCommandPost.h"

#include <atomic>

namespace Event {
namespace {
std::atomic<Platform::window::WindowHandle> g_window{nullptr};
std::atomic<CommandPoster> g_post{nullptr};
}  // namespace

void bindCommandWindow(Platform::window::WindowHandle window, CommandPoster post) {
    g_post.store(post);
    g_window.store(window);
}

Platform::window::WindowHandle commandWindow() { return g_window.load(); }

bool postEventCommand(EventCommandType kind, intptr_t payload) {
    const auto window = g_window.load();
    const CommandPoster post = g_post.load();
    if (window == nullptr || post == nullptr) return false;
    return post(window, Platform::window::kWmUser, static_cast<uintptr_t>(kind), payload);
}

}  // namespace Event
