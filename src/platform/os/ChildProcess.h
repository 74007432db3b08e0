#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/os/Result.h"
#include "platform/os/Wait.h"

// A child process started with the editor's environment and folder; the
// descriptors named at the start are inherited under their own numbers.
namespace Platform::os {

inline constexpr uint32_t kStillActive = 259;

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess() { close(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    Result spawn(const std::string& executable, const std::vector<std::string>& arguments,
                 const std::vector<int>& inherited);
    bool valid() const { return pid_ > 0; }
    int pid() const { return pid_; }

    // kStillActive while it runs, else its exit code (128 + signal when killed).
    Result exitCode(uint32_t& code);
    // kWaitObject0 once it has ended, kWaitTimeout, or kWaitFailed.
    uint32_t waitExit(uint32_t timeoutMs);
    Result terminate(uint32_t exitCode);
    // Forgets the child (reaping it when it has ended).
    void close();

private:
    bool reap(bool block);
    int pid_ = -1;
    bool ended_ = false;
    uint32_t exitCode_ = 0;
};

}  // namespace Platform::os
