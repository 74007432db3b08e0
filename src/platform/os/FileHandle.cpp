#include "platform/os/FileHandle.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <string_view>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
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

// A replacement is flushed to the disk at its commit. Its writeback is
// started at every step of this size written, so that the disk writes while
// the file grows and the commit waits for the last step only.
constexpr off_t kWritebackStep = off_t{32} << 20;

constexpr char kCharacters[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr size_t kRandomLength = 6;

// "<target>.~" and six random characters.
std::string temporaryName(const std::string& target) {
    static std::atomic<uint64_t> counter{0};
    uint64_t bits = 0;
    if (::getrandom(&bits, sizeof bits, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bits))
        bits = (static_cast<uint64_t>(::getpid()) << 32) ^ counter.fetch_add(0x9E3779B97F4A7C15ull);
    std::string name = target + ".~";
    for (size_t i = 0; i < kRandomLength; ++i, bits /= 62) name += kCharacters[bits % 62];
    return name;
}

// Creates a temporary of the target under a name no other file has, locked
// while it is written so that no other writer takes it for a stale one.
int createTemporary(const std::string& target, mode_t mode, std::string& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = temporaryName(target);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) ::flock(fd, LOCK_EX | LOCK_NB);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;  // errno is EEXIST
}

// Deletes the temporaries of the target a killed writer left behind: those
// no live writer holds locked.
void removeStaleTemporaries(const std::string& target) {
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    const std::string prefix = (slash == std::string::npos ? target : target.substr(slash + 1)) + ".~";
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    const int saved = errno;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name.size() != prefix.size() + kRandomLength || name.substr(0, prefix.size()) != prefix) continue;
        if (name.substr(prefix.size()).find_first_not_of(kCharacters) != std::string_view::npos) continue;
        const std::string path = folder + "/" + std::string(name);
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.c_str());
        ::close(fd);
    }
    ::closedir(dir);
    errno = saved;
}

// A file without a name in the target's folder: nothing is left behind if
// the process dies before commit. -1 where the file system has no such files.
int createUnnamed(const std::string& target, mode_t mode) {
#ifdef O_TMPFILE
    // It is named at commit through its /proc link.
    if (::access("/proc/self/fd", X_OK) != 0) return -1;
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    return ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
#else
    (void)target;
    (void)mode;
    errno = EOPNOTSUPP;
    return -1;
#endif
}

// Gives the unnamed file a temporary name beside the target.
int linkUnnamed(int fd, const std::string& target, std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = temporaryName(target);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
        if (errno != EEXIST) return -1;
    }
    return -1;
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
    removeStaleTemporaries(target);
    std::string name;
    const mode_t mode = existing ? 0600 : 0666;
    int fd = createUnnamed(target, mode);
    const bool unnamed = fd >= 0;
    if (!unnamed) fd = createTemporary(target, mode, name);
    if (fd < 0) return fromErrno();
    if (existing) ::fchmod(fd, st.st_mode & 07777);
    fd_ = fd;
    target_ = std::move(target);
    temporary_ = std::move(name);
    unnamed_ = unnamed;
    return kOk;
}

Result FileHandle::commit() {
    if (fd_ < 0 || !isReplacement()) {
        errno = EBADF;
        return fromErrno();
    }
    Result result = kOk;
    if (::fsync(fd_) != 0) result = fromErrno();
    // The unnamed file is named only now, just before it takes the target's place.
    if (unnamed_ && succeeded(result) && linkUnnamed(fd_, target_, temporary_) != 0) {
        result = fromErrno();
        temporary_.clear();
    }
    unnamed_ = false;
    if (::close(fd_) != 0 && succeeded(result)) result = fromErrno();
    fd_ = -1;
    if (succeeded(result) && ::rename(temporary_.c_str(), target_.c_str()) != 0) result = fromErrno();
    if (failed(result) && !temporary_.empty()) {
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
    unnamed_ = false;
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
    const off_t before = isReplacement() ? ::lseek(fd_, 0, SEEK_CUR) : -1;
    const Result result = transfer(
        count, done, [&](size_t at) { return ::write(fd_, static_cast<const char*>(buffer) + at, count - at); });
    if (before >= 0 && done > 0) {
        // The steps this write completed go to the disk without a wait; a
        // failure here only leaves them to the commit.
        const off_t after = before + static_cast<off_t>(done);
        const off_t from = before / kWritebackStep * kWritebackStep, to = after / kWritebackStep * kWritebackStep;
        if (to > from) {
            const int saved = errno;
            (void)::sync_file_range(fd_, from, to - from, SYNC_FILE_RANGE_WRITE);
            errno = saved;
        }
    }
    return result;
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
