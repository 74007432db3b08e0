#include "platform/imaging/FileStream.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#include "platform/imaging/ImagingResult.h"

namespace Platform::imaging {
namespace {

Result systemError() { return resultFromSystemError(errno); }

}  // namespace

FileStream::~FileStream() {
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(temporary_.c_str());
    }
}

Result FileStream::initializeFromFilename(const std::string& path) {
    if (fd_ >= 0 || memory_ != nullptr) return kWrongState;
    if (path.empty()) return kInvalidArg;
    // A name of its own beside the target, created with the usual mode (the
    // umask applies), so the finished file looks like any other.
    static std::atomic<uint32_t> counter{0};
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = path + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return systemError();
    fd_ = fd;
    path_ = path;
    temporary_ = temporary;
    return kOk;
}

Result FileStream::initializeFromMemory(const uint8_t* data, size_t size) {
    if (fd_ >= 0 || memory_ != nullptr) return kWrongState;
    if (data == nullptr || size == 0) return kInvalidArg;
    memory_ = data;
    memorySize_ = size;
    return kOk;
}

Result FileStream::write(const uint8_t* data, size_t size) {
    if (fd_ < 0) return kWrongState;
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return systemError();
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return kOk;
}

Result FileStream::commit() {
    if (fd_ < 0) return kWrongState;
    Result r = ::fsync(fd_) == 0 ? kOk : systemError();
    if (::close(fd_) != 0 && succeeded(r)) r = systemError();
    fd_ = -1;
    if (failed(r)) {
        ::unlink(temporary_.c_str());
        return r;
    }
    if (::rename(temporary_.c_str(), path_.c_str()) != 0) {
        const Result r = systemError();
        ::unlink(temporary_.c_str());
        return r;
    }
    return kOk;
}

}  // namespace Platform::imaging
