#include "platform/os/WaitableTimer.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace Platform::os {
namespace {
timespec fromMs(uint32_t ms) {
    return timespec{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
}
}  // namespace

WaitableTimer::~WaitableTimer() { close(); }

Result WaitableTimer::create() {
    close();
    fd_ = ::timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK);
    return fd_ < 0 ? resultFromSystemError(errno) : kOk;
}

void WaitableTimer::close() {
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
}

Result WaitableTimer::set(uint32_t dueMs, uint32_t periodMs) {
    if (fd_ < 0) return resultFromSystemError(EBADF);
    itimerspec spec{};
    spec.it_interval = fromMs(periodMs);
    // A zero due time would disarm timerfd; the nearest real expiry is "now".
    spec.it_value = dueMs == 0 ? timespec{0, 1} : fromMs(dueMs);
    if (::timerfd_settime(fd_, 0, &spec, nullptr) != 0) return resultFromSystemError(errno);
    return kOk;
}

Result WaitableTimer::cancel() {
    if (fd_ < 0) return resultFromSystemError(EBADF);
    const itimerspec off{};
    if (::timerfd_settime(fd_, 0, &off, nullptr) != 0) return resultFromSystemError(errno);
    return kOk;
}

uint32_t WaitableTimer::wait(uint32_t timeoutMs) const {
    if (fd_ < 0) {
        errno = EBADF;
        return kWaitFailed;
    }
    return waitFor(handle(), timeoutMs);
}

}  // namespace Platform::os
