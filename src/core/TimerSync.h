#pragma once
#include <cstdint>

#include "platform/os/WaitableTimer.h"

namespace Sync {

// A periodic waitable timer (auto-reset): the main loop waits on its handle
// together with input and runs the callback bound to it on the UI thread.
class Timer {
public:
    Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    // First expiry after one interval, then every interval; re-arming restarts.
    void setInterval(uint32_t intervalMs);
    void clear();
    Platform::os::WaitHandle handle() const { return timer_.handle(); }

private:
    Platform::os::WaitableTimer timer_;
};

}  // namespace Sync
