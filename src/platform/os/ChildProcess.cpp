#include "platform/os/ChildProcess.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

extern char** environ;

namespace Platform::os {

Result ChildProcess::spawn(const std::string& executable, const std::vector<std::string>& arguments,
                           const std::vector<int>& inherited) {
    close();
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    // Duplicating a descriptor onto itself clears its close-on-exec flag in the child only.
    for (int fd : inherited) ::posix_spawn_file_actions_adddup2(&actions, fd, fd);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(executable.c_str()));
    for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int error = ::posix_spawn(&pid, executable.c_str(), &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        errno = error;
        return resultFromSystemError(error);
    }
    pid_ = pid;
    ended_ = false;
    return kOk;
}

bool ChildProcess::reap(bool block) {
    if (pid_ <= 0) return false;
    if (ended_) return true;
    int status = 0;
    pid_t r;
    do {
        r = ::waitpid(pid_, &status, block ? 0 : WNOHANG);
    } while (r < 0 && errno == EINTR);
    if (r != pid_) return false;
    ended_ = true;
    exitCode_ =
        WIFEXITED(status) ? static_cast<uint32_t>(WEXITSTATUS(status)) : 128u + static_cast<uint32_t>(WTERMSIG(status));
    return true;
}

Result ChildProcess::exitCode(uint32_t& code) {
    code = 0;
    if (pid_ <= 0) return resultFromSystemError(EBADF);
    code = reap(false) ? exitCode_ : kStillActive;
    return kOk;
}

uint32_t ChildProcess::waitExit(uint32_t timeoutMs) {
    if (pid_ <= 0) {
        errno = EBADF;
        return kWaitFailed;
    }
    if (reap(false)) return kWaitObject0;
    const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0));
    if (pidfd >= 0) {
        pollfd p{pidfd, POLLIN, 0};
        int r;
        do {
            r = ::poll(&p, 1, timeoutMs == kInfinite ? -1 : static_cast<int>(timeoutMs));
        } while (r < 0 && errno == EINTR);
        ::close(pidfd);
        if (r < 0) return kWaitFailed;
        return r > 0 && reap(true) ? kWaitObject0 : kWaitTimeout;
    }
    // Kernels without pidfd: look every few milliseconds.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (timeoutMs == kInfinite || std::chrono::steady_clock::now() < deadline) {
        if (reap(false)) return kWaitObject0;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return reap(false) ? kWaitObject0 : kWaitTimeout;
}

Result ChildProcess::terminate(uint32_t exitCode) {
    if (pid_ <= 0) return resultFromSystemError(EBADF);
    if (reap(false)) return kOk;
    if (::kill(pid_, SIGKILL) != 0) return resultFromSystemError(errno);
    reap(true);
    exitCode_ = exitCode;  // as the terminating caller asked
    return kOk;
}

void ChildProcess::close() {
    if (pid_ > 0) reap(false);
    pid_ = -1;
    ended_ = false;
    exitCode_ = 0;
}

}  // namespace Platform::os
