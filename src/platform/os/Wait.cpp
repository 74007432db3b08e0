#include "platform/os/Wait.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <vector>

namespace Platform::os {
namespace {

struct ThreadHook {
    int fd = -1;
    WaitServiceHook hook = nullptr;
    void* context = nullptr;
};
thread_local ThreadHook t_hook;

using Clock = std::chrono::steady_clock;

int remainingMs(uint32_t timeoutMs, Clock::time_point start) {
    if (timeoutMs == kInfinite) return -1;
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    return elapsed >= timeoutMs ? 0 : static_cast<int>(timeoutMs - elapsed);
}

}  // namespace

bool tryAcquire(const WaitHandle& handle) {
    if (handle.consumes) {
        uint64_t value = 0;
        // The descriptors are non-blocking: EAGAIN means another waiter took it.
        return ::read(handle.fd, &value, sizeof value) == sizeof value;
    }
    pollfd p{handle.fd, POLLIN, 0};
    return ::poll(&p, 1, 0) == 1 && (p.revents & POLLIN) != 0;
}

uint32_t waitForAny(const WaitHandle* handles, size_t count, uint32_t timeoutMs) {
    const auto start = Clock::now();
    const ThreadHook hook = t_hook;
    std::vector<pollfd> fds(count + (hook.hook != nullptr ? 1 : 0));
    for (size_t i = 0; i < count; ++i) {
        if (handles[i].fd < 0) {
            errno = EBADF;
            return kWaitFailed;
        }
        fds[i] = {handles[i].fd, POLLIN, 0};
    }
    if (hook.hook != nullptr) fds[count] = {hook.fd, POLLIN, 0};
    for (;;) {
        const int timeout = remainingMs(timeoutMs, start);
        const int n = ::poll(fds.data(), fds.size(), timeout);
        if (n < 0) {
            if (errno == EINTR) continue;
            return kWaitFailed;
        }
        for (size_t i = 0; i < count; ++i) {
            if ((fds[i].revents & (POLLERR | POLLNVAL)) != 0) {
                errno = EBADF;
                return kWaitFailed;
            }
            if ((fds[i].revents & POLLIN) != 0 && tryAcquire(handles[i]))
                return kWaitObject0 + static_cast<uint32_t>(i);
        }
        if (hook.hook != nullptr && (fds[count].revents & POLLIN) != 0) hook.hook(hook.context);
        // A wake whose signal another waiter took counts for nothing.
        if (timeout == 0 || (timeoutMs != kInfinite && remainingMs(timeoutMs, start) == 0)) return kWaitTimeout;
    }
}

uint32_t waitFor(const WaitHandle& handle, uint32_t timeoutMs) { return waitForAny(&handle, 1, timeoutMs); }

void setThreadWaitHook(int fd, WaitServiceHook hook, void* context) {
    t_hook = hook != nullptr ? ThreadHook{fd, hook, context} : ThreadHook{};
}

}  // namespace Platform::os
