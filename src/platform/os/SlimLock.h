#pragma once
#include <shared_mutex>

// A reader-writer lock: many shared holders or one exclusive holder. Not
// recursive; the holder releases it on the thread that took it.
namespace Platform::os {

class SlimLock {
public:
    void lockExclusive() { lock_.lock(); }
    void unlockExclusive() { lock_.unlock(); }
    void lockShared() { lock_.lock_shared(); }
    void unlockShared() { lock_.unlock_shared(); }
    bool tryLockExclusive() { return lock_.try_lock(); }
    bool tryLockShared() { return lock_.try_lock_shared(); }

private:
    std::shared_mutex lock_;
};

}  // namespace Platform::os
