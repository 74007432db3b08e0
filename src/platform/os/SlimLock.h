#pragma once
#include <shared_mutex>

#include "platform/os/ThreadSafety.h"

// A reader-writer lock: many shared holders or one exclusive holder. Not
// recursive; the holder releases it on the thread that took it.
namespace Platform::os {

class CAPABILITY("reader-writer lock") SlimLock {
public:
    void lockExclusive() ACQUIRE() { lock_.lock(); }
    void unlockExclusive() RELEASE() { lock_.unlock(); }
    void lockShared() ACQUIRE_SHARED() { lock_.lock_shared(); }
    void unlockShared() RELEASE_SHARED() { lock_.unlock_shared(); }
    bool tryLockExclusive() TRY_ACQUIRE(true) { return lock_.try_lock(); }
    bool tryLockShared() TRY_ACQUIRE_SHARED(true) { return lock_.try_lock_shared(); }

private:
    std::shared_mutex lock_;
};

}  // namespace Platform::os
