#pragma once
#include <mutex>

// Locks whose use clang checks at compile time (-Wthread-safety). A member
// that a mutex guards is declared GUARDED_BY(thatMutex_); a function that
// expects the caller to hold it is declared REQUIRES(thatMutex_). Reading or
// writing the member, or calling the function, without the mutex held is then
// a compile error in the clang build. Other compilers see plain locks.
#if defined(__clang__)
#define VELMO_THREAD_ANNOTATION(x) __attribute__((x))
#else
#define VELMO_THREAD_ANNOTATION(x)
#endif

#define CAPABILITY(x) VELMO_THREAD_ANNOTATION(capability(x))
#define SCOPED_CAPABILITY VELMO_THREAD_ANNOTATION(scoped_lockable)
#define GUARDED_BY(x) VELMO_THREAD_ANNOTATION(guarded_by(x))
#define PT_GUARDED_BY(x) VELMO_THREAD_ANNOTATION(pt_guarded_by(x))
#define REQUIRES(...) VELMO_THREAD_ANNOTATION(requires_capability(__VA_ARGS__))
#define REQUIRES_SHARED(...) VELMO_THREAD_ANNOTATION(requires_shared_capability(__VA_ARGS__))
#define ACQUIRE(...) VELMO_THREAD_ANNOTATION(acquire_capability(__VA_ARGS__))
#define ACQUIRE_SHARED(...) VELMO_THREAD_ANNOTATION(acquire_shared_capability(__VA_ARGS__))
#define RELEASE(...) VELMO_THREAD_ANNOTATION(release_capability(__VA_ARGS__))
#define RELEASE_SHARED(...) VELMO_THREAD_ANNOTATION(release_shared_capability(__VA_ARGS__))
#define TRY_ACQUIRE(...) VELMO_THREAD_ANNOTATION(try_acquire_capability(__VA_ARGS__))
#define TRY_ACQUIRE_SHARED(...) VELMO_THREAD_ANNOTATION(try_acquire_shared_capability(__VA_ARGS__))
#define EXCLUDES(...) VELMO_THREAD_ANNOTATION(locks_excluded(__VA_ARGS__))
#define ASSERT_CAPABILITY(x) VELMO_THREAD_ANNOTATION(assert_capability(x))
#define RETURN_CAPABILITY(x) VELMO_THREAD_ANNOTATION(lock_returned(x))
#define NO_THREAD_SAFETY_ANALYSIS VELMO_THREAD_ANNOTATION(no_thread_safety_analysis)

namespace Platform::os {

// A non-recursive mutex the analysis knows.
class CAPABILITY("mutex") Mutex {
public:
    constexpr Mutex() = default;
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    void lock() ACQUIRE() { mutex_.lock(); }
    void unlock() RELEASE() { mutex_.unlock(); }
    bool tryLock() TRY_ACQUIRE(true) { return mutex_.try_lock(); }
    // Tells the analysis that the caller holds this mutex where it cannot see
    // it (the same mutex reached through another object). Checks nothing.
    void assertHeld() const ASSERT_CAPABILITY(this) {}

private:
    std::mutex mutex_;
};

// Holds a Mutex for its scope; unlock() lets it go early.
class SCOPED_CAPABILITY MutexLock {
public:
    explicit MutexLock(Mutex& mutex) ACQUIRE(mutex) : mutex_(mutex) { mutex_.lock(); }
    ~MutexLock() RELEASE() {
        if (held_) mutex_.unlock();
    }
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

    void unlock() RELEASE() {
        mutex_.unlock();
        held_ = false;
    }

private:
    Mutex& mutex_;
    bool held_ = true;
};

}  // namespace Platform::os
