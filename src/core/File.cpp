#include "core/File.h"

#include <cerrno>

#include "core/Exception.h"
#include "core/FileName.h"
#include "core/TextConvert.h"
#include "platform/os/ErrorText.h"
#include "platform/os/FileSystem.h"
#include "platform/os/KnownFolder.h"

namespace System {
namespace {

// The text after the last point that follows the last separator.
std::wstring extensionOf(const std::wstring& name) {
    const size_t slash = name.rfind(kPathSeparator);
    const size_t point = name.rfind(L'.');
    if (point == std::wstring::npos || (slash != std::wstring::npos && point < slash)) return {};
    return name.substr(point + 1);
}

void splitPattern(const std::wstring& pattern, std::string& folder, std::wstring& namePattern) {
    const size_t slash = pattern.rfind(kPathSeparator);
    if (slash == std::wstring::npos) {
        folder.assign(1, '.');  // (not = ".": GCC 12 warns wrongly about it)
        namePattern = pattern;
    } else {
        folder = wideToUtf8(slash == 0 ? std::wstring(1, kPathSeparator) : pattern.substr(0, slash));
        namePattern = pattern.substr(slash + 1);
    }
}

}  // namespace

void File::open(const std::wstring& name, int32_t mode) {
    constexpr const char* kScope = "System::File::open";
    handle_.close();
    if (mode < kRead || mode > kOpenAlways) {
        Platform::os::setLastError(EINVAL);
    } else {
        const std::string path = wideToUtf8(name);
        const auto r = mode == kWrite ? handle_.openReplacement(path)
                                      : handle_.open(path, static_cast<Platform::os::FileMode>(mode));
        if (Platform::succeeded(r)) return;
    }
    (void)lastErrorException("CreateFileW", kScope);  // logged, then replaced by the message naming the file
    throw formatException(kScope, "failed to open file.", L"%ls", name.c_str());
}

void File::readBlock(void* buffer, int32_t size) {
    constexpr const char* kScope = "System::File::readBlock";
    size_t done = 0;
    if (size < 0) {
        Platform::os::setLastError(EINVAL);
        throw lastErrorException("ReadFile", kScope);
    }
    if (Platform::failed(handle_.read(buffer, static_cast<size_t>(size), done)))
        throw lastErrorException("ReadFile", kScope);
    if (done != static_cast<size_t>(size)) throw win32ErrorException(kScope, Platform::os::kErrorReadFault);
}

void File::write(const void* buffer, int32_t size) {
    constexpr const char* kScope = "System::File::write";
    size_t done = 0;
    if (size < 0) {
        Platform::os::setLastError(EINVAL);
        throw lastErrorException("WriteFile", kScope);
    }
    if (Platform::failed(handle_.write(buffer, static_cast<size_t>(size), done)))
        throw lastErrorException("WriteFile", kScope);
    if (done != static_cast<size_t>(size)) throw win32ErrorException(kScope, Platform::os::kErrorWriteFault);
}

void File::seek(int64_t position) {
    if (Platform::failed(handle_.seek(position))) throw lastErrorException("SetFilePointerEx", "System::File::seek");
}

int64_t File::getSize() const {
    int64_t size = 0;
    if (Platform::failed(handle_.size(size))) throw lastErrorException("GetFileSizeEx", "System::File::getSize");
    return size;
}

void File::close() {
    if (handle_.isReplacement()) {
        if (Platform::failed(handle_.commit())) throw lastErrorException("MoveFileExW", "System::File::close");
        return;
    }
    handle_.close();
}

std::vector<File::FileEntry> File::getFileList(const std::wstring& pattern, const std::wstring* folder) {
    std::vector<FileEntry> list;
    std::string where;
    std::wstring namePattern;
    splitPattern(pattern, where, namePattern);
    // Only a concrete extension lists anything, and only files whose extension is as long.
    const std::wstring patternExt = extensionOf(namePattern);
    if (patternExt.empty() || patternExt[0] == L'*') return list;
    std::wstring prefix;
    if (folder != nullptr) {
        prefix = *folder + kPathSeparator;
        FileName::expandVariable(prefix);
    }
    for (const auto& entry : Platform::os::listFolder(where, namePattern)) {
        if (entry.isFolder) continue;
        const std::wstring name = utf8ToWide(entry.name);
        if (extensionOf(name).size() != patternExt.size()) continue;
        list.push_back({prefix + name, entry.size, entry.lastWriteTime});
    }
    return list;
}

std::vector<File::FileEntry> File::getFolderList(const std::wstring& pattern) {
    std::vector<FileEntry> list;
    std::string where;
    std::wstring namePattern;
    splitPattern(pattern, where, namePattern);
    for (const auto& entry : Platform::os::listFolder(where, namePattern)) {
        if (!entry.isFolder || entry.name.empty() || entry.name[0] == '.') continue;
        list.push_back({utf8ToWide(entry.name), entry.size, entry.lastWriteTime});
    }
    return list;
}

std::vector<File::FileEntry> findFilesByPattern(const std::wstring& pattern) {
    const std::wstring folder = FileName::getDirectory(pattern);
    // A bare pattern has no folder to put in front (not the root).
    return File::getFileList(pattern, folder.empty() ? nullptr : &folder);
}

void File::createDirectory(const std::wstring& path) {
    if (const auto r = Platform::os::createFolders(wideToUtf8(path)); Platform::failed(r))
        throw hresultException("SHCreateDirectory", "System::File::createDirectory", r);
}

std::wstring File::getSystemDirectory() {
    std::string folder;
    if (const auto r = Platform::os::programDataFolder(folder); Platform::failed(r))
        throw hresultException("SHGetKnownFolderPath", "System::File::getSystemDirectory", r);
    return utf8ToWide(folder);
}

bool File::exists(const std::wstring& path) { return Platform::os::pathExists(wideToUtf8(path)); }

bool File::deleteFile(const std::wstring& path) {
    return Platform::succeeded(Platform::os::deleteFile(wideToUtf8(path)));
}

}  // namespace System
