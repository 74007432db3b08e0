#include "platform/os/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/os/TextConvert.h"
#include "platform/os/FileHandle.h"

namespace Platform::os {
namespace {

Result fromErrno() { return resultFromSystemError(errno); }

// Seconds between 1601-01-01 and 1970-01-01.
constexpr int64_t kEpochDifference = 11644473600LL;

int64_t toFileTime(const struct timespec& t) {
    return (static_cast<int64_t>(t.tv_sec) + kEpochDifference) * 10000000LL + t.tv_nsec / 100;
}

wchar_t foldCase(wchar_t c) {
    if (c >= L'A' && c <= L'Z') return c + (L'a' - L'A');
    if (c >= 0xFF21 && c <= 0xFF3A) return c + 0x20;              // full-width Latin
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;   // Latin-1
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 0x20;  // Greek
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;                // Cyrillic
    return c;
}

}  // namespace

bool pathExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

Result deleteFile(const std::string& path) {
    if (::unlink(path.c_str()) != 0) return fromErrno();
    return kOk;
}

Result renameFile(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) return fromErrno();
    return kOk;
}

Result copyFile(const std::string& from, const std::string& to) {
    FileHandle source, target;
    if (const Result r = source.open(from, FileMode::read); failed(r)) return r;
    if (const Result r = target.openReplacement(to); failed(r)) return r;
    char buffer[65536];
    for (;;) {
        size_t got = 0, put = 0;
        if (const Result r = source.read(buffer, sizeof buffer, got); failed(r)) return r;
        if (got == 0) break;
        if (const Result r = target.write(buffer, got, put); failed(r)) return r;
        if (put != got) {
            errno = EIO;
            return fromErrno();
        }
    }
    if (!target.isReplacement()) return kOk;  // written through in place (a pipe or a device)
    return target.commit();
}

Result createFolders(const std::string& path) {
    if (path.empty()) {
        errno = ENOENT;
        return fromErrno();
    }
    std::string partial;
    partial.reserve(path.size());
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || (path[i] == kPathSeparator && i > 0)) {
            partial.assign(path, 0, i);
            if (::mkdir(partial.c_str(), 0777) != 0) {
                if (errno != EEXIST) return fromErrno();
                if (!isFolder(partial)) {
                    errno = ENOTDIR;
                    return fromErrno();
                }
            }
        }
    }
    return kOk;
}

Result fileSize(const std::string& path, uint64_t& out) {
    struct stat st {};
    out = 0;
    if (::stat(path.c_str(), &st) != 0) return fromErrno();
    out = static_cast<uint64_t>(st.st_size);
    return kOk;
}

Result lastWriteTime(const std::string& path, int64_t& out) {
    struct stat st {};
    out = 0;
    if (::stat(path.c_str(), &st) != 0) return fromErrno();
    out = toFileTime(st.st_mtim);
    return kOk;
}

bool matchWildcard(const std::wstring& pattern, const std::wstring& name) {
    // Iterative matcher with one back-tracking point for the last '*'.
    size_t p = 0, n = 0, star = std::wstring::npos, mark = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == L'*') {
            star = p++;
            mark = n;
        } else if (p < pattern.size() && (pattern[p] == L'?' || foldCase(pattern[p]) == foldCase(name[n]))) {
            ++p;
            ++n;
        } else if (star != std::wstring::npos) {
            p = star + 1;
            n = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') ++p;
    return p == pattern.size();
}

std::vector<FolderEntry> listFolder(const std::string& folder, const std::wstring& pattern) {
    std::vector<FolderEntry> entries;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) return entries;
    while (const dirent* d = ::readdir(dir)) {
        const std::string name = d->d_name;
        if (name == "." || name == "..") continue;
        if (!matchWildcard(pattern, Platform::os::utf8ToWide(name))) continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir), d->d_name, &st, 0) != 0) continue;  // dangling link or raced away
        FolderEntry entry;
        entry.name = name;
        entry.isFolder = S_ISDIR(st.st_mode);
        entry.size = static_cast<uint64_t>(st.st_size);
        entry.lastWriteTime = toFileTime(st.st_mtim);
        entries.push_back(std::move(entry));
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return entries;
}

}  // namespace Platform::os
