// Code that breaks one compile-time contract each (chosen by a BROKEN_* macro).
// The test build must refuse every case with the diagnostic its CMakeLists
// names; without a BROKEN_* macro the file is correct and compiles clean.
#include <cstdint>

#include "platform/os/Result.h"
#include "platform/os/SlimLock.h"
#include "platform/os/ThreadSafety.h"

namespace {

Platform::Result open() { return Platform::kOk; }

class Counter {
public:
    void add() {
        Platform::os::MutexLock lock(mutex_);
        ++count_;
#if defined(BROKEN_USE_AFTER_UNLOCK)
        lock.unlock();
        ++count_;
#endif
    }
    int32_t read() {
#if defined(BROKEN_READ_WITHOUT_LOCK)
        return count_;
#else
        Platform::os::MutexLock lock(mutex_);
        return count_;
#endif
    }
    void reset() {
#if defined(BROKEN_CALL_WITHOUT_LOCK)
        clear();
#else
        Platform::os::MutexLock lock(mutex_);
        clear();
#endif
    }
    void leave() {
        mutex_.lock();
        ++count_;
#if !defined(BROKEN_LOCK_KEPT)
        mutex_.unlock();
#endif
    }
    void share() {
#if defined(BROKEN_WRITE_UNDER_SHARED_LOCK)
        slim_.lockShared();
        ++shared_;
        slim_.unlockShared();
#else
        slim_.lockExclusive();
        ++shared_;
        slim_.unlockExclusive();
#endif
    }

private:
    void clear() REQUIRES(mutex_) { count_ = 0; }

    Platform::os::Mutex mutex_;
    int32_t count_ GUARDED_BY(mutex_) = 0;
    Platform::os::SlimLock slim_;
    int32_t shared_ GUARDED_BY(slim_) = 0;
};

}  // namespace

int32_t useAll() {
#if defined(BROKEN_DROPPED_RESULT)
    open();
#else
    if (Platform::failed(open())) return -1;
#endif
    Counter counter;
    counter.add();
    counter.reset();
    counter.leave();
    counter.share();
    return counter.read();
}
