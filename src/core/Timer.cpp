#include "core/Timer.h"

#include <memory>
#include <unordered_map>
#include <utility>

#include "core/BadFunctionCall.h"
#include "core/Exception.h"
#include "platform/window/MessageQueue.h"

namespace System {
namespace {
// The callback of every set timer by its identifier. Entries are shared, so
// a callback that clears or re-sets its own timer keeps running intact.
using Callback = std::shared_ptr<std::function<void()>>;
std::unordered_map<uintptr_t, Callback>& callbacks() {
    static std::unordered_map<uintptr_t, Callback> table;
    return table;
}
}  // namespace

Timer::~Timer() {
    try {
        clear();
    } catch (const std::exception&) {
        // Logged by the exception's builder; a destructor goes on.
    }
}

void Timer::set(uint32_t intervalMs, std::function<void()> callback) {
    const uintptr_t id = Platform::window::setTimer(nullptr, id_, intervalMs, &Timer::timerProc);
    if (id == 0) throw lastErrorException("SetTimer", "System::Timer::set");
    id_ = id;
    callbacks()[id_] = std::make_shared<std::function<void()>>(std::move(callback));
}

void Timer::clear() {
    if (id_ == 0) return;
    if (!Platform::window::killTimer(nullptr, id_)) throw lastErrorException("KillTimer", "System::Timer::clear");
    callbacks().erase(id_);
    id_ = 0;
}

void Timer::timerProc(Platform::window::WindowHandle, uint32_t, uintptr_t id, uint32_t) {
    const auto it = callbacks().find(id);
    if (it == callbacks().end()) return;
    const Callback keep = it->second;
    if (!*keep) throw BadFunctionCall();
    (*keep)();
}

}  // namespace System
