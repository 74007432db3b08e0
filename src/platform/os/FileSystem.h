#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/os/Result.h"

// Files and folders by path (UTF-8, '/' separated). Failures return a failure
// result and leave the system error in lastError().
namespace Platform::os {

inline constexpr char kPathSeparator = '/';

struct FolderEntry {
    std::string name;  // bare name
    bool isFolder = false;
    uint64_t size = 0;          // bytes
    int64_t lastWriteTime = 0;  // 100 ns units since 1601-01-01 UTC
};

bool pathExists(const std::string& path);
bool isFolder(const std::string& path);
Result deleteFile(const std::string& path);
// Replaces an existing file of the new name in one step.
Result renameFile(const std::string& from, const std::string& to);
// Copies a file over any file of the new name; the target is written beside
// and renamed into place, so it is never left half-written.
Result copyFile(const std::string& from, const std::string& to);
// Creates the folder and every missing parent; an existing folder is success.
Result createFolders(const std::string& path);
Result fileSize(const std::string& path, uint64_t& out);
Result lastWriteTime(const std::string& path, int64_t& out);

// The entries of a folder whose names match the wild-card pattern ('*' any
// run, '?' one character) without regard to case, sorted by name. "." and
// ".." are never listed. A folder that cannot be read lists nothing.
std::vector<FolderEntry> listFolder(const std::string& folder, const std::wstring& pattern);

// Wild-card match of a whole name, ignoring the case of letters.
bool matchWildcard(const std::wstring& pattern, const std::wstring& name);

}  // namespace Platform::os
