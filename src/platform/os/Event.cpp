#include "platform/os/Event.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace Platform::os {

Event::~Event() { close(); }

Event::Event(Event&& other) noexcept : fd_(std::exchange(other.fd_, -1)), manualReset_(other.manualReset_) {}

Event& Event::operator=(Event&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        manualReset_ = other.manualReset_;
    }
    return *this;
}

Result Event::create(bool manualReset, bool initiallySet) {
    close();
    manualReset_ = manualReset;
    fd_ = ::eventfd(initiallySet ? 1 : 0, EFD_CLOEXEC | EFD_NONBLOCK);
    return fd_ < 0 ? resultFromSystemError(errno) : kOk;
}

void Event::close() {
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
}

Result Event::set() {
    if (fd_ < 0) return resultFromSystemError(EBADF);
    const uint64_t one = 1;
    // The counter only grows while set; a full counter (EAGAIN) is still set.
    if (::write(fd_, &one, sizeof one) != sizeof one && errno != EAGAIN) return resultFromSystemError(errno);
    return kOk;
}

Result Event::reset() {
    if (fd_ < 0) return resultFromSystemError(EBADF);
    uint64_t value = 0;
    if (::read(fd_, &value, sizeof value) != sizeof value && errno != EAGAIN) return resultFromSystemError(errno);
    return kOk;
}

uint32_t Event::wait(uint32_t timeoutMs) const {
    if (fd_ < 0) {
        errno = EBADF;
        return kWaitFailed;
    }
    return waitFor(handle(), timeoutMs);
}

bool Event::isSet() const { return fd_ >= 0 && tryAcquire(WaitHandle{fd_, false}); }

}  // namespace Platform::os
