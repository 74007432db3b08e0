#pragma once
#include <cstdint>
#include <functional>

#include "platform/window/Message.h"

namespace System {

// A window-less timer of the calling thread's message queue: its callback
// runs on that thread, from the thread's message dispatch (modal loops
// included), at every expiry until the timer is cleared.
class Timer {
public:
    Timer() = default;
    // A timer still set when its owner goes is cleared, so no callback runs
    // for an owner that is gone.
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    // Starts the timer, or restarts it with the new interval; the callback
    // replaces the one stored before.
    void set(uint32_t intervalMs, std::function<void()> callback);
    void clear();
    uintptr_t id() const { return id_; }

    static void timerProc(Platform::window::WindowHandle window, uint32_t message, uintptr_t id, uint32_t time);

private:
    uintptr_t id_ = 0;
};

}  // namespace System
