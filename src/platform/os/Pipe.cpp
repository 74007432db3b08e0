#include "platform/os/Pipe.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace Platform::os {
namespace {
// A write to a pipe whose reader has gone must fail with EPIPE, not kill the program.
void ignoreBrokenPipes() {
    static const bool done = [] {
        ::signal(SIGPIPE, SIG_IGN);
        return true;
    }();
    (void)done;
}
}  // namespace

Result createPipe(int& readEnd, int& writeEnd) {
    ignoreBrokenPipes();
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return resultFromSystemError(errno);
    readEnd = fds[0];
    writeEnd = fds[1];
    return kOk;
}

void closeDescriptor(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

Result readFully(int fd, void* buffer, size_t count, size_t& done) {
    done = 0;
    auto* p = static_cast<char*>(buffer);
    while (done < count) {
        const ssize_t n = ::read(fd, p + done, count - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return resultFromSystemError(errno);
        }
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    return kOk;
}

Result writeFully(int fd, const void* buffer, size_t count, size_t& done) {
    done = 0;
    const auto* p = static_cast<const char*>(buffer);
    while (done < count) {
        const ssize_t n = ::write(fd, p + done, count - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return resultFromSystemError(errno);
        }
        done += static_cast<size_t>(n);
    }
    return kOk;
}

Result waitReadable(int fd, uint32_t timeoutMs, bool& ready) {
    ready = false;
    pollfd entry{fd, POLLIN, 0};
    for (;;) {
        const int n = ::poll(&entry, 1, static_cast<int>(timeoutMs));
        if (n < 0) {
            if (errno == EINTR) continue;
            return resultFromSystemError(errno);
        }
        ready = n > 0;  // POLLHUP and POLLERR count: the read then says what happened
        return kOk;
    }
}

}  // namespace Platform::os
