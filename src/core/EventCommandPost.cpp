#include "core/EventCommandPost.h"

#include <atomic>

namespace Event {
namespace {
std::atomic<Platform::window::WindowHandle> g_window{nullptr};
std::atomic<CommandPoster> g_post{nullptr};
std::atomic<CommandSender> g_send{nullptr};
}  // namespace

void bindCommandWindow(Platform::window::WindowHandle window, CommandPoster post, CommandSender send) {
    g_post.store(post);
    g_send.store(send);
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

namespace Event {

bool sendEventCommand(EventCommandType kind, intptr_t payload) {
    const auto window = g_window.load();
    const CommandSender send = g_send.load();
    if (window == nullptr || send == nullptr) return false;
    send(window, Platform::window::kWmUser, static_cast<uintptr_t>(kind), payload);
    return true;
}

}  // namespace Event
