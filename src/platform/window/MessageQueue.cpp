#include "platform/window/MessageQueue.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>

#include "platform/window/KeyMap.h"
#include "platform/window/ThreadQueue.h"
#include "platform/window/WindowData.h"

namespace Platform::window {
namespace {
constexpr int kErrorInvalidWindowHandle = EBADF;

// The owner's queue of a live window; null, with the error set, otherwise.
std::shared_ptr<ThreadQueue> queueOrFail(WindowHandle window) {
    auto queue = WindowData::queueOf(window);
    if (!queue) errno = kErrorInvalidWindowHandle;
    return queue;
}

// The queue holding the timers of a window (the calling thread's for no
// window); only the owner thread may touch a window's timers.
ThreadQueue* timerQueueOf(WindowHandle window) {
    if (window == nullptr) return &ThreadQueue::current();
    if (!WindowData::isLive(window) || !window->queue->isOwnerThread()) {
        errno = kErrorInvalidWindowHandle;
        return nullptr;
    }
    return window->queue.get();
}

void appendUtf16(char32_t c, char16_t* out, int& n) {
    if (c >= 0x10000 && c <= 0x10FFFF) {
        c -= 0x10000;
        out[n++] = static_cast<char16_t>(0xD800 + (c >> 10));
        out[n++] = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
        out[n++] = static_cast<char16_t>(c);
    }
}
}  // namespace

uint32_t currentThreadId() { return static_cast<uint32_t>(::syscall(SYS_gettid)); }

uint32_t tickCount() {
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

int getMessage(Message& msg, WindowHandle window, uint32_t min, uint32_t max) {
    if (window != nullptr && !WindowData::isLive(window)) {
        errno = kErrorInvalidWindowHandle;
        return -1;
    }
    auto& queue = ThreadQueue::current();
    for (;;) {
        if (queue.peek(msg, window, min, max, true)) return msg.message == kWmQuit ? 0 : 1;
        queue.waitForMatch(window, min, max);
    }
}

bool peekMessage(Message& msg, WindowHandle window, uint32_t min, uint32_t max, uint32_t remove) {
    return ThreadQueue::current().peek(msg, window, min, max, (remove & kPmRemove) != 0);
}

void waitMessage() { ThreadQueue::current().wait(nullptr, 0, os::kInfinite, true); }

bool translateMessage(const Message& msg) {
    if ((msg.message != kWmKeyDown && msg.message != kWmSysKeyDown) || msg.keyChar == 0) return false;
    char16_t units[2];
    int n = 0;
    appendUtf16(msg.keyChar, units, n);
    auto& queue = ThreadQueue::current();
    // Placed at the front in reverse, so the units come next and in order.
    for (int i = n - 1; i >= 0; --i) {
        Message c = msg;
        c.message = msg.message == kWmKeyDown ? kWmChar : kWmSysChar;
        c.wParam = units[i];
        c.keyChar = 0;
        queue.pushFront(c);
    }
    return true;
}

namespace {
std::atomic<void (*)(const Message&)> gDispatchObserver{nullptr};
}

void setDispatchObserver(void (*observer)(const Message& msg)) { gDispatchObserver = observer; }

intptr_t dispatchMessage(const Message& msg) {
    if (const auto observer = gDispatchObserver.load()) observer(msg);
    if (msg.message == kWmTimer && msg.lParam != 0) {
        if (msg.window != nullptr && !WindowData::isLive(msg.window)) return 0;
        reinterpret_cast<TimerProc>(msg.lParam)(msg.window, kWmTimer, msg.wParam, msg.time);
        return 0;
    }
    if (msg.window == nullptr || !WindowData::isLive(msg.window) || msg.window->procedure == nullptr) return 0;
    return msg.window->procedure(msg.window, msg.message, msg.wParam, msg.lParam);
}

bool postMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (window == nullptr) return ThreadQueue::current().post(timedMessage(nullptr, message, wParam, lParam));
    const auto queue = queueOrFail(window);
    return queue && queue->post(timedMessage(window, message, wParam, lParam));
}

bool postThreadMessage(uint32_t threadId, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    const auto queue = ThreadQueue::forThread(threadId);
    if (!queue) {
        errno = ESRCH;
        return false;
    }
    return queue->post(timedMessage(nullptr, message, wParam, lParam));
}

intptr_t sendMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    const auto queue = queueOrFail(window);
    if (!queue) return 0;
    if (queue->isOwnerThread())
        return window->procedure != nullptr ? window->procedure(window, message, wParam, lParam) : 0;
    return queue->send(timedMessage(window, message, wParam, lParam));
}

void postQuitMessage(int exitCode) { ThreadQueue::current().postQuit(exitCode); }

uint32_t msgWaitForMultipleObjects(size_t count, const os::WaitHandle* handles, bool waitAll, uint32_t timeoutMs,
                                   uint32_t wakeMask) {
    if (waitAll) {
        // The program waits for any; waiting for all together with input is not offered.
        errno = EINVAL;
        return kWaitFailed;
    }
    return ThreadQueue::current().wait(handles, count, timeoutMs, wakeMask != 0);
}

uintptr_t setTimer(WindowHandle window, uintptr_t id, uint32_t intervalMs, TimerProc proc) {
    ThreadQueue* queue = timerQueueOf(window);
    return queue != nullptr ? queue->setTimer(window, id, intervalMs, proc) : 0;
}

bool killTimer(WindowHandle window, uintptr_t id) {
    ThreadQueue* queue = timerQueueOf(window);
    return queue != nullptr && queue->killTimer(window, id);
}

}  // namespace Platform::window
