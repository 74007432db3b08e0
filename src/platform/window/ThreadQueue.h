#pragma once
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "platform/os/Event.h"
#include "platform/os/ThreadSafety.h"
#include "platform/window/Message.h"

// The queue behind the message calls (layer-internal). One per thread that
// uses the queue; windows keep their owner's queue alive.
namespace Platform::window {

// A message stamped with the queue clock's time (tickCount).
Message timedMessage(WindowHandle window, uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);

class ThreadQueue {
public:
    ThreadQueue();
    ~ThreadQueue();
    ThreadQueue(const ThreadQueue&) = delete;
    ThreadQueue& operator=(const ThreadQueue&) = delete;

    // The calling thread's queue, created on first use.
    static ThreadQueue& current();
    static std::shared_ptr<ThreadQueue> currentShared();
    // The queue of a thread, null when it has none (or has ended).
    static std::shared_ptr<ThreadQueue> forThread(uint32_t threadId);

    uint32_t threadId() const { return threadId_; }
    // The owner thread has ended: sends and posts fail from now on, and the
    // sends still waiting are answered with 0.
    void close();
    bool isOwnerThread() const;

    // Any thread.
    bool post(const Message& msg);
    intptr_t send(const Message& msg);

    // Owner thread only.
    void pushInput(const Message& msg);
    void pushFront(const Message& msg);
    bool peek(Message& out, WindowHandle filter, uint32_t min, uint32_t max, bool remove);
    void serviceSends();
    // kWaitObject0 + index, count for input (when wanted), timeout or failure.
    uint32_t wait(const os::WaitHandle* handles, size_t count, uint32_t timeoutMs, bool wantInput);
    // Blocks until a message that passes the filter can be taken.
    void waitForMatch(WindowHandle filter, uint32_t min, uint32_t max);
    void postQuit(int exitCode);
    bool hasMessage();

    void invalidate(WindowHandle window);
    void validate(WindowHandle window);
    // Drops what the queue holds for a window being destroyed.
    void forgetWindow(WindowHandle window);

    uintptr_t setTimer(WindowHandle window, uintptr_t id, uint32_t intervalMs, TimerProc proc);
    bool killTimer(WindowHandle window, uintptr_t id);

private:
    using Clock = std::chrono::steady_clock;
    struct Sent {
        Message msg;
        intptr_t result = 0;
        os::Event done;
    };
    struct TimerRecord {
        WindowHandle window;
        uintptr_t id;
        uint32_t interval;
        Clock::time_point due;
        TimerProc proc;
    };

    static void waitHook(void* context);
    int msUntilNextTimer(Clock::time_point now, WindowHandle filter = nullptr, uint32_t min = 0,
                         uint32_t max = 0) const;
    void block(const os::WaitHandle* handles, size_t count, int timeoutMs);

    uint32_t threadId_;
    os::Event wake_;
    os::Mutex mutex_;
    std::deque<Message> posted_ GUARDED_BY(mutex_);
    std::deque<std::shared_ptr<Sent>> sends_ GUARDED_BY(mutex_);
    bool closed_ GUARDED_BY(mutex_) = false;
    // Owner-thread state.
    bool quit_ = false;
    int quitCode_ = 0;
    std::vector<WindowHandle> paintPending_;
    std::vector<TimerRecord> timers_;
};

}  // namespace Platform::window
