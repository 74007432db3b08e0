#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/os/Result.h"

// Waiting on several kernel objects at once. Every waitable object of the
// layer is a file descriptor that polls readable while the object is
// signalled; an auto-reset object is taken by reading its counter, so of
// several threads woken together exactly one gets it.
namespace Platform::os {

inline constexpr uint32_t kInfinite = 0xFFFFFFFFu;
inline constexpr uint32_t kWaitObject0 = 0;
inline constexpr uint32_t kWaitTimeout = 0x102;
inline constexpr uint32_t kWaitFailed = 0xFFFFFFFFu;

struct WaitHandle {
    int fd = -1;
    // True when a successful wait consumes the signal (auto-reset events,
    // semaphores, synchronisation timers): the wait reads the 8-byte counter.
    bool consumes = false;

    bool operator==(const WaitHandle&) const = default;
};

// Tests whether the handle is signalled without blocking; a consuming handle
// is taken when it is.
bool tryAcquire(const WaitHandle& handle);

// Waits until one handle is signalled: returns kWaitObject0 + its index (the
// lowest index when several are), kWaitTimeout, or kWaitFailed with the last
// error set. A timeout of kInfinite waits forever.
uint32_t waitForAny(const WaitHandle* handles, size_t count, uint32_t timeoutMs);
uint32_t waitFor(const WaitHandle& handle, uint32_t timeoutMs);

// A thread that must answer other threads while it blocks (the UI thread
// answers messages sent to its windows) installs a hook: every wait made on
// that thread also watches the hook's descriptor and, when it polls readable,
// calls the hook and goes on waiting. Null clears it.
using WaitServiceHook = void (*)(void* context);
void setThreadWaitHook(int fd, WaitServiceHook hook, void* context);

}  // namespace Platform::os
