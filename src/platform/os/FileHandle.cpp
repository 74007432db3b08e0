#include "platform/os/FileHandle.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform::os {
namespace {
Result fromErrno() { return resultFromSystemError(errno); }

// Repeats a read or write until count bytes are done, the end is met, or it
// fails; an interrupted call is retried.
template <class Call>
Result transfer(size_t count, size_t& done, Call call) {
    while (done < count) {
        const ssize_t n = call(done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fromErrno();
        }
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    return kOk;
}

// Creates "<target>.~" and six random characters, a name no other file has.
int createTemporary(const std::string& target, mode_t mode, std::string& name) {
    static std::atomic<uint64_t> counter{0};
    constexpr char kCharacters[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    for (int attempt = 0; attempt < 100; ++attempt) {
        uint64_t bits = 0;
        if (::getrandom(&bits, sizeof bits, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bits))
            bits = (static_cast<uint64_t>(::getpid()) << 32) ^ counter.fetch_add(0x9E3779B97F4A7C15ull);
        name = target + ".~";
        for (int i = 0; i < 6; ++i, bits /= 62) name += kCharacters[bits % 62];
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;  // errno is EEXIST
}
}  // namespace

Result FileHandle::open(const std::string& path, FileMode mode) {
    close();
    int flags = O_CLOEXEC;
    switch (mode) {
    case FileMode::read: flags |= O_RDONLY; break;
    case FileMode::write:
    case FileMode::writeShared: flags |= O_WRONLY | O_CREAT | O_TRUNC; break;
    case FileMode::openAlways: flags |= O_WRONLY | O_CREAT; break;
    default: errno = EINVAL; return kInvalidArg;
    }
    const int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0) return fromErrno();
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        errno = EISDIR;
        return fromErrno();
    }
    fd_ = fd;
    return kOk;
}

Result FileHandle::openReplacement(const std::string& path) {
    close();
    // The new file takes the place of the one an in-place rewrite would write:
    // the file a symbolic link names, with that file's permissions; a file the
    // caller may not write is refused as such an open would refuse it.
    std::string target = path;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            target = real;
            std::free(real);
        }
    }
    // A new file is made with 0666 and the kernel applies the umask (reading
    // the umask would mean changing it for every thread for a moment).
    bool existing = false;
    if (::stat(target.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            errno = EISDIR;
            return fromErrno();
        }
        if (::access(target.c_str(), W_OK) != 0) return fromErrno();
        // A named pipe or a device is written through, never replaced by a plain file.
        if (!S_ISREG(st.st_mode)) return open(target, FileMode::write);
        existing = true;
    }
    std::string name;
    const int fd = createTemporary(target, existing ? 0600 : 0666, name);
    if (fd < 0) return fromErrno();
    if (existing) ::fchmod(fd, st.st_mode & 07777);
    fd_ = fd;
    target_ = std::move(target);
    temporary_ = std::move(name);
    return kOk;
}

Result FileHandle::commit() {
    if (fd_ < 0 || temporary_.empty()) {
        errno = EBADF;
        return fromErrno();
    }
    Result result = kOk;
    if (::fsync(fd_) != 0) result = fromErrno();
    if (::close(fd_) != 0 && succeeded(result)) result = fromErrno();
    fd_ = -1;
    if (succeeded(result) && ::rename(temporary_.c_str(), target_.c_str()) != 0) result = fromErrno();
    if (failed(result)) {
        const int saved = errno;
        ::unlink(temporary_.c_str());
        errno = saved;
    }
    target_.clear();
    temporary_.clear();
    return result;
}

void FileHandle::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) {
        const int saved = errno;
        ::unlink(temporary_.c_str());
        errno = saved;
    }
    target_.clear();
    temporary_.clear();
}

Result FileHandle::read(void* buffer, size_t count, size_t& done) {
    done = 0;
    if (fd_ < 0) {
        errno = EBADF;
        return fromErrno();
    }
    return transfer(count, done, [&](size_t at) { return ::read(fd_, static_cast<char*>(buffer) + at, count - at); });
}

Result FileHandle::write(const void* buffer, size_t count, size_t& done) {
    done = 0;
    if (fd_ < 0) {
        errno = EBADF;
        return fromErrno();
    }
    return transfer(count, done,
                    [&](size_t at) { return ::write(fd_, static_cast<const char*>(buffer) + at, count - at); });
}

Result FileHandle::seek(int64_t position) {
    if (fd_ < 0) {
        errno = EBADF;
        return fromErrno();
    }
    if (position < 0) {
        errno = EINVAL;
        return fromErrno();
    }
    if (::lseek(fd_, static_cast<off_t>(position), SEEK_SET) < 0) return fromErrno();
    return kOk;
}

Result FileHandle::size(int64_t& out) const {
    out = 0;
    struct stat st {};
    if (fd_ < 0) {
        errno = EBADF;
        return fromErrno();
    }
    if (::fstat(fd_, &st) != 0) return fromErrno();
    out = static_cast<int64_t>(st.st_size);
    return kOk;
}

Result FileHandle::sync() {
    if (fd_ < 0) {
        errno = EBADF;
        return fromErrno();
    }
    if (::fsync(fd_) != 0) return fromErrno();
    return kOk;
}

}  // namespace Platform::os
