#include "platform/window/ThreadQueue.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <unordered_map>

#include "platform/window/GtkRuntime.h"
#include "platform/window/KeyMap.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/WindowData.h"

namespace Platform::window {
namespace {

os::Mutex g_queuesMutex;
std::unordered_map<uint32_t, std::weak_ptr<ThreadQueue>>& queues() REQUIRES(g_queuesMutex) {
    static std::unordered_map<uint32_t, std::weak_ptr<ThreadQueue>> map;
    return map;
}

// The thread's own reference; its end unregisters the queue and answers the
// sends nobody will service.
struct QueueHolder {
    std::shared_ptr<ThreadQueue> queue;
    ~QueueHolder() {
        if (!queue) return;
        {
            os::MutexLock lock(g_queuesMutex);
            queues().erase(queue->threadId());
        }
        os::setThreadWaitHook(-1, nullptr, nullptr);
        // Nobody will answer this queue any more.
        queue->close();
        WindowData::freeWindowsOf(queue.get());
    }
};
thread_local QueueHolder t_holder;

std::atomic<uintptr_t> g_nextTimerId{1};

bool inRange(uint32_t message, uint32_t min, uint32_t max) {
    return (min == 0 && max == 0) || (message >= min && message <= max);
}

bool matches(const Message& m, WindowHandle filter, uint32_t min, uint32_t max) {
    return (filter == nullptr || m.window == filter) && inRange(m.message, min, max);
}

}  // namespace

Message timedMessage(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    Message m;
    m.window = window;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = tickCount();
    return m;
}

ThreadQueue::ThreadQueue() : threadId_(currentThreadId()) { (void)wake_.create(true, false); }

ThreadQueue::~ThreadQueue() { close(); }

ThreadQueue& ThreadQueue::current() { return *currentShared(); }

std::shared_ptr<ThreadQueue> ThreadQueue::currentShared() {
    if (!t_holder.queue) {
        auto queue = std::make_shared<ThreadQueue>();
        {
            os::MutexLock lock(g_queuesMutex);
            queues()[queue->threadId()] = queue;
        }
        os::setThreadWaitHook(queue->wake_.nativeFd(), &ThreadQueue::waitHook, queue.get());
        t_holder.queue = std::move(queue);
    }
    return t_holder.queue;
}

std::shared_ptr<ThreadQueue> ThreadQueue::forThread(uint32_t threadId) {
    os::MutexLock lock(g_queuesMutex);
    const auto it = queues().find(threadId);
    return it == queues().end() ? nullptr : it->second.lock();
}

bool ThreadQueue::isOwnerThread() const { return currentThreadId() == threadId_; }

bool ThreadQueue::post(const Message& msg) {
    {
        os::MutexLock lock(mutex_);
        if (closed_) {
            errno = ESRCH;
            return false;
        }
        posted_.push_back(msg);
    }
    (void)wake_.set();
    return true;
}

intptr_t ThreadQueue::send(const Message& msg) {
    auto record = std::make_shared<Sent>();
    record->msg = msg;
    if (failed(record->done.create(true, false))) return 0;
    {
        os::MutexLock lock(mutex_);
        if (closed_) return 0;
        sends_.push_back(record);
    }
    (void)wake_.set();
    // The os wait answers what is sent to this thread meanwhile (its hook).
    while (record->done.wait(os::kInfinite) != os::kWaitObject0) {
        if (errno != EINTR) break;
    }
    return record->result;
}

void ThreadQueue::close() {
    std::deque<std::shared_ptr<Sent>> pending;
    {
        os::MutexLock lock(mutex_);
        closed_ = true;
        pending.swap(sends_);
    }
    for (auto& s : pending) (void)s->done.set();
}

void ThreadQueue::serviceSends() {
    for (;;) {
        std::shared_ptr<Sent> record;
        {
            os::MutexLock lock(mutex_);
            if (sends_.empty()) return;
            record = std::move(sends_.front());
            sends_.pop_front();
        }
        // The sender is released also when the procedure throws; the exception
        // goes on on this thread.
        struct Release {
            Sent& s;
            ~Release() { (void)s.done.set(); }
        } release{*record};
        const Message& m = record->msg;
        if (WindowData::isLive(m.window) && m.window->procedure != nullptr)
            record->result = m.window->procedure(m.window, m.message, m.wParam, m.lParam);
    }
}

void ThreadQueue::waitHook(void* context) {
    auto* self = static_cast<ThreadQueue*>(context);
    (void)self->wake_.reset();
    self->serviceSends();
}

void ThreadQueue::pushInput(const Message& msg) {
    os::MutexLock lock(mutex_);
    posted_.push_back(msg);
}

void ThreadQueue::pushFront(const Message& msg) {
    os::MutexLock lock(mutex_);
    posted_.push_front(msg);
}

bool ThreadQueue::peek(Message& out, WindowHandle filter, uint32_t min, uint32_t max, bool remove) {
    serviceSends();
    {
        os::MutexLock lock(mutex_);
        for (auto it = posted_.begin(); it != posted_.end(); ++it) {
            if (!matches(*it, filter, min, max)) continue;
            out = *it;
            if (remove) {
                posted_.erase(it);
                KeyMap::noteRetrieved(out);
            }
            return true;
        }
    }
    // The quit message passes every range filter, so filtered loops can end.
    if (quit_) {
        out = timedMessage(nullptr, kWmQuit, static_cast<uintptr_t>(quitCode_));
        if (remove) quit_ = false;
        return true;
    }
    // Paint and timer messages are made when asked for, after everything queued.
    for (WindowHandle w : paintPending_) {
        if ((filter == nullptr || filter == w) && inRange(kWmPaint, min, max)) {
            out = timedMessage(w, kWmPaint);
            return true;
        }
    }
    const auto now = Clock::now();
    for (auto& t : timers_) {
        if (t.due > now || (filter != nullptr && filter != t.window) || !inRange(kWmTimer, min, max)) continue;
        out = timedMessage(t.window, kWmTimer, t.id, reinterpret_cast<intptr_t>(t.proc));
        if (remove) t.due = now + std::chrono::milliseconds(t.interval);
        return true;
    }
    return false;
}

bool ThreadQueue::hasMessage() {
    {
        os::MutexLock lock(mutex_);
        if (!posted_.empty() || !sends_.empty()) return true;
    }
    if (quit_ || !paintPending_.empty()) return true;
    const auto now = Clock::now();
    return std::any_of(timers_.begin(), timers_.end(), [&](const TimerRecord& t) { return t.due <= now; });
}

int ThreadQueue::msUntilNextTimer(Clock::time_point now, WindowHandle filter, uint32_t min, uint32_t max) const {
    int best = -1;
    if (!inRange(kWmTimer, min, max)) return best;
    for (const auto& t : timers_) {
        if (filter != nullptr && t.window != filter) continue;
        const auto ms = std::chrono::ceil<std::chrono::milliseconds>(t.due - now).count();
        const int v = ms <= 0 ? 0 : static_cast<int>(std::min<long long>(ms, 0x7FFFFFFF));
        if (best < 0 || v < best) best = v;
    }
    return best;
}

uint32_t ThreadQueue::wait(const os::WaitHandle* handles, size_t count, uint32_t timeoutMs, bool wantInput) {
    const auto start = Clock::now();
    for (;;) {
        // A handle that is not (or no longer) open fails the wait; polling it
        // would only report it again and again.
        for (size_t i = 0; i < count; ++i) {
            if (handles[i].fd < 0 || ::fcntl(handles[i].fd, F_GETFD) == -1) {
                errno = EBADF;
                return kWaitFailed;
            }
        }
        (void)wake_.reset();
        serviceSends();
        for (size_t i = 0; i < count; ++i)
            if (os::tryAcquire(handles[i])) return kWaitObject0 + static_cast<uint32_t>(i);
        if (wantInput && hasMessage()) return kWaitObject0 + static_cast<uint32_t>(count);
        const auto now = Clock::now();
        int remaining = -1;
        if (timeoutMs != os::kInfinite) {
            const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - start).count();
            if (elapsed >= timeoutMs) return kWaitTimeout;
            remaining = static_cast<int>(timeoutMs - elapsed);
        }
        const int timerWait = wantInput ? msUntilNextTimer(now) : -1;
        int blockMs = remaining;
        if (timerWait >= 0 && (blockMs < 0 || timerWait < blockMs)) blockMs = timerWait;
        block(handles, count, blockMs);
    }
}

void ThreadQueue::waitForMatch(WindowHandle filter, uint32_t min, uint32_t max) {
    for (;;) {
        (void)wake_.reset();
        Message m;
        if (peek(m, filter, min, max, false)) return;
        // Messages the filter leaves aside do not end the wait; only new arrivals
        // and the filter's own timers do.
        block(nullptr, 0, msUntilNextTimer(Clock::now(), filter, min, max));
    }
}

void ThreadQueue::block(const os::WaitHandle* handles, size_t count, int timeoutMs) {
    std::vector<int> fds;
    fds.reserve(count + 1);
    for (size_t i = 0; i < count; ++i) fds.push_back(handles[i].fd);
    fds.push_back(wake_.nativeFd());
    if (gtk::onUiThread()) {
        gtk::iterate(fds.data(), fds.size(), timeoutMs);
        return;
    }
    std::vector<pollfd> p;
    for (int fd : fds) p.push_back({fd, POLLIN, 0});
    while (::poll(p.data(), p.size(), timeoutMs) < 0 && errno == EINTR) {
    }
}

void ThreadQueue::postQuit(int exitCode) {
    quit_ = true;
    quitCode_ = exitCode;
}

void ThreadQueue::invalidate(WindowHandle window) {
    if (std::find(paintPending_.begin(), paintPending_.end(), window) == paintPending_.end())
        paintPending_.push_back(window);
}

void ThreadQueue::validate(WindowHandle window) { std::erase(paintPending_, window); }

void ThreadQueue::forgetWindow(WindowHandle window) {
    validate(window);
    std::erase_if(timers_, [&](const TimerRecord& t) { return t.window == window; });
    // Messages still queued for the window go with it, so a later window at
    // the same address never receives them; its waiting senders get 0.
    std::deque<std::shared_ptr<Sent>> dropped;
    {
        os::MutexLock lock(mutex_);
        std::erase_if(posted_, [&](const Message& m) { return m.window == window; });
        for (auto it = sends_.begin(); it != sends_.end();) {
            if ((*it)->msg.window == window) {
                dropped.push_back(std::move(*it));
                it = sends_.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (auto& s : dropped) (void)s->done.set();
}

uintptr_t ThreadQueue::setTimer(WindowHandle window, uintptr_t id, uint32_t intervalMs, TimerProc proc) {
    // Intervals below the system minimum are raised to it, as timers are.
    const uint32_t interval = std::max<uint32_t>(intervalMs, 10);
    const auto due = Clock::now() + std::chrono::milliseconds(interval);
    for (auto& t : timers_) {
        if (t.window == window && t.id == id) {
            t.interval = interval;
            t.due = due;
            t.proc = proc;
            return window == nullptr ? id : 1;
        }
    }
    if (window == nullptr) id = g_nextTimerId.fetch_add(1);
    timers_.push_back({window, id, interval, due, proc});
    (void)wake_.set();
    return window == nullptr ? id : 1;
}

bool ThreadQueue::killTimer(WindowHandle window, uintptr_t id) {
    const auto before = timers_.size();
    std::erase_if(timers_, [&](const TimerRecord& t) { return t.window == window && t.id == id; });
    if (timers_.size() == before) {
        errno = EINVAL;
        return false;
    }
    return true;
}

}  // namespace Platform::window
