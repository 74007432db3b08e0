#include "core/EventCommandPost.h"

#include <atomic>
#include <mutex>
#include <vector>

#include "core/Log.h"

namespace Event {
namespace {
std::atomic<Platform::window::WindowHandle> g_window{nullptr};
std::atomic<CommandPoster> g_post{nullptr};
std::atomic<CommandSender> g_send{nullptr};

struct Kept {
    EventCommandType kind;
    intptr_t payload;
    CommandDiscard discard;
};

// Commands posted before the first window was bound. Whatever is still kept
// when the program ends is freed.
struct KeptCommands {
    std::mutex mutex;
    std::vector<Kept> commands;
    bool bound = false;  // a window has been bound once: nothing is kept any more
    ~KeptCommands() {
        for (const Kept& kept : commands) kept.discard(kept.payload);
    }
};
KeptCommands& kept() {
    static KeptCommands commands;
    return commands;
}
}  // namespace

void bindCommandWindow(Platform::window::WindowHandle window, CommandPoster post, CommandSender send) {
    std::vector<Kept> waiting;
    {
        std::lock_guard lock(kept().mutex);
        g_post.store(post);
        g_send.store(send);
        g_window.store(window);
        if (window != nullptr && post != nullptr) {
            kept().bound = true;
            waiting.swap(kept().commands);
        }
    }
    for (const Kept& command : waiting) {
        if (post(window, Platform::window::kWmUser, static_cast<uintptr_t>(command.kind), command.payload)) continue;
        System::Log::error("Event::bindCommandWindow", "failed to post a kept command %u.",
                           static_cast<unsigned>(command.kind));
        command.discard(command.payload);
    }
}

bool postEventCommandOnceBound(EventCommandType kind, intptr_t payload, CommandDiscard discard) {
    {
        std::lock_guard lock(kept().mutex);
        if (!kept().bound) {
            kept().commands.push_back(Kept{kind, payload, discard});
            return true;
        }
    }
    return postEventCommand(kind, payload);
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
