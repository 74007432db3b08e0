#include "platform/os/Semaphore.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace Platform::os {

Result Semaphore::create(uint32_t initial, uint32_t maximum) {
    close();
    if (maximum == 0 || initial > maximum) return resultFromSystemError(EINVAL);
    fd_ = ::eventfd(initial, EFD_CLOEXEC | EFD_NONBLOCK | EFD_SEMAPHORE);
    if (fd_ < 0) return resultFromSystemError(errno);
    maximum_ = maximum;
    return kOk;
}

void Semaphore::close() {
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
}

Result Semaphore::release(uint32_t count) {
    if (fd_ < 0) return resultFromSystemError(EBADF);
    if (count == 0) return kOk;
    // The kernel counter is not bounded by the maximum; only a release that
    // could never fit is refused.
    if (count > maximum_) return resultFromSystemError(EOVERFLOW);
    const uint64_t value = count;
    if (::write(fd_, &value, sizeof value) != sizeof value) return resultFromSystemError(errno);
    return kOk;
}

uint32_t Semaphore::wait(uint32_t timeoutMs) const { return waitFor(handle(), timeoutMs); }

}  // namespace Platform::os
