#pragma once
#include <cstdint>

#include "platform/os/Result.h"
#include "platform/os/Wait.h"

// A mutex two processes share: a process-shared robust pthread mutex in a
// memory file whose descriptor the child inherits (its number is the handle
// value the child is told). When the holder dies, the next lock takes it.
namespace Platform::os {

inline constexpr uint32_t kWaitAbandoned = 0x80;

class ProcessMutex {
public:
    ProcessMutex() = default;
    ~ProcessMutex() { close(); }
    ProcessMutex(const ProcessMutex&) = delete;
    ProcessMutex& operator=(const ProcessMutex&) = delete;

    // A new unowned mutex; its descriptor closes on exec unless handed on.
    Result create();
    // The mutex behind a descriptor another process created (the child's side).
    Result open(int fd);
    void close();
    bool valid() const { return state_ != nullptr; }
    int fd() const { return fd_; }

    // kWaitObject0 when taken, kWaitAbandoned when taken from a holder that
    // died, kWaitTimeout, or kWaitFailed (lastError set).
    uint32_t lock(uint32_t timeoutMs = kInfinite);
    void unlock();

private:
    struct State;
    int fd_ = -1;
    State* state_ = nullptr;
};

}  // namespace Platform::os
