#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/os/Result.h"

namespace Platform::shell {

// One entry of a folder.
struct FolderItem {
    std::string name;         // the file name in the folder (UTF-8)
    std::string displayName;  // the name shown
    std::string contentType;  // "inode/directory", "image/png", ...
    std::string typeName;     // the content type's description
    bool isFolder = false;
    bool hidden = false;
    int64_t size = 0;
    int64_t modified = 0;       // seconds since 1970 (UTC)
    std::string thumbnailPath;  // the cache's thumbnail, empty when none
};

// The entries of the folder (hidden ones included, marked), sorted by name
// case-insensitively. kFileNotFound when the path is missing or no folder.
Result readFolder(const std::string& path, std::vector<FolderItem>& out);
// Names in the order listings use: case-insensitive, then as they are.
int compareNames(const std::string& a, const std::string& b);
// Whether the path names an existing folder.
bool isFolder(const std::string& path);
// The folder above; the path itself at the root.
std::string parentFolder(const std::string& path);
// The path joined with a name.
std::string childPath(const std::string& folder, const std::string& name);
// The user's desktop folder (the home folder when there is none).
std::string desktopFolder();
// "file://" URI of an absolute path.
std::string fileUri(const std::string& path);

}  // namespace Platform::shell
