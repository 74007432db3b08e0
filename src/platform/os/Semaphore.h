#pragma once
#include <cstdint>

#include "platform/os/Result.h"
#include "platform/os/Wait.h"

// A counting semaphore over an eventfd in semaphore mode: a wait takes one
// count, release gives counts back. It can be waited on with other handles.
namespace Platform::os {

class Semaphore {
public:
    Semaphore() = default;
    ~Semaphore() { close(); }
    Semaphore(const Semaphore&) = delete;
    Semaphore& operator=(const Semaphore&) = delete;

    // initial counts free, at most maximum ever free at once.
    Result create(uint32_t initial, uint32_t maximum);
    bool valid() const { return fd_ >= 0; }
    void close();

    // Gives count back; more than the maximum fails (too many posts) and changes nothing.
    Result release(uint32_t count);
    uint32_t wait(uint32_t timeoutMs = kInfinite) const;
    WaitHandle handle() const { return {fd_, true}; }

private:
    int fd_ = -1;
    uint32_t maximum_ = 0;
};

}  // namespace Platform::os
