#pragma once
#include <cstdint>

#include "platform/os/Result.h"
#include "platform/os/Wait.h"

// A waitable timer over timerfd (monotonic clock). It is signalled at each
// expiry; as a synchronisation timer, a wait that sees it signalled clears it.
namespace Platform::os {

class WaitableTimer {
public:
    WaitableTimer() = default;
    ~WaitableTimer();
    WaitableTimer(const WaitableTimer&) = delete;
    WaitableTimer& operator=(const WaitableTimer&) = delete;

    Result create();
    bool valid() const { return fd_ >= 0; }
    void close();

    // Arms the timer: first expiry after dueMs, then every periodMs (0: once).
    // Re-arming restarts it and drops an expiry not yet waited for.
    Result set(uint32_t dueMs, uint32_t periodMs);
    Result cancel();
    uint32_t wait(uint32_t timeoutMs = kInfinite) const;

    int nativeFd() const { return fd_; }
    WaitHandle handle() const { return {fd_, true}; }

private:
    int fd_ = -1;
};

}  // namespace Platform::os
