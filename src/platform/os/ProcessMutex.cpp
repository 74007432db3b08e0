#include "platform/os/ProcessMutex.h"

#include <pthread.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <utility>

namespace Platform::os {

struct ProcessMutex::State {
    pthread_mutex_t mutex;
};

Result ProcessMutex::create() {
    close();
    const int fd = ::memfd_create("velmo-process-mutex", MFD_CLOEXEC);
    if (fd < 0) return resultFromSystemError(errno);
    if (::ftruncate(fd, sizeof(State)) != 0) {
        const int error = errno;
        ::close(fd);
        return resultFromSystemError(error);
    }
    if (const Result r = open(fd); failed(r)) {
        ::close(fd);
        return r;
    }
    pthread_mutexattr_t attributes;
    ::pthread_mutexattr_init(&attributes);
    ::pthread_mutexattr_setpshared(&attributes, PTHREAD_PROCESS_SHARED);
    ::pthread_mutexattr_setrobust(&attributes, PTHREAD_MUTEX_ROBUST);
    const int error = ::pthread_mutex_init(&state_->mutex, &attributes);
    ::pthread_mutexattr_destroy(&attributes);
    if (error != 0) {
        close();
        errno = error;
        return resultFromSystemError(error);
    }
    return kOk;
}

Result ProcessMutex::open(int fd) {
    void* memory = ::mmap(nullptr, sizeof(State), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (memory == MAP_FAILED) return resultFromSystemError(errno);
    fd_ = fd;
    state_ = static_cast<State*>(memory);
    return kOk;
}

void ProcessMutex::close() {
    if (state_ != nullptr) ::munmap(std::exchange(state_, nullptr), sizeof(State));
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
}

uint32_t ProcessMutex::lock(uint32_t timeoutMs) {
    if (state_ == nullptr) {
        errno = EBADF;
        return kWaitFailed;
    }
    int error;
    if (timeoutMs == kInfinite) {
        error = ::pthread_mutex_lock(&state_->mutex);
    } else {
        timespec deadline{};
        ::clock_gettime(CLOCK_REALTIME, &deadline);
        deadline.tv_sec += timeoutMs / 1000;
        deadline.tv_nsec += static_cast<long>(timeoutMs % 1000) * 1000000L;
        if (deadline.tv_nsec >= 1000000000L) {
            ++deadline.tv_sec;
            deadline.tv_nsec -= 1000000000L;
        }
        error = ::pthread_mutex_timedlock(&state_->mutex, &deadline);
    }
    switch (error) {
    case 0: return kWaitObject0;
    case ETIMEDOUT: return kWaitTimeout;
    case EOWNERDEAD: ::pthread_mutex_consistent(&state_->mutex); return kWaitAbandoned;
    default: errno = error; return kWaitFailed;
    }
}

void ProcessMutex::unlock() {
    if (state_ != nullptr) ::pthread_mutex_unlock(&state_->mutex);
}

}  // namespace Platform::os
