#pragma once
#include <cstdint>

#include "platform/os/Result.h"
#include "platform/os/Wait.h"

// An event over eventfd: signalled or not, manual reset (stays signalled until
// reset) or auto-reset (a wait that sees it signalled clears it).
namespace Platform::os {

class Event {
public:
    Event() = default;
    ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;
    Event(Event&& other) noexcept;
    Event& operator=(Event&& other) noexcept;

    // Creates the object; a failure leaves it without one and returns the
    // system error as a result (the last error is set too).
    Result create(bool manualReset = true, bool initiallySet = false);
    bool valid() const { return fd_ >= 0; }
    void close();

    Result set();
    Result reset();
    // kWaitObject0, kWaitTimeout or kWaitFailed; timeout in ms or kInfinite.
    uint32_t wait(uint32_t timeoutMs = kInfinite) const;
    bool isSet() const;

    int nativeFd() const { return fd_; }
    WaitHandle handle() const { return {fd_, !manualReset_}; }

private:
    int fd_ = -1;
    bool manualReset_ = true;
};

}  // namespace Platform::os
