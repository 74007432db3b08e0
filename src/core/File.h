#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/os/FileHandle.h"

// The one way to read and write files: every operation does the whole job or
// throws. Names are used as given; callers expand file-name variables first.
namespace System {

class File {
public:
    // 0 read an existing file; 1 create for writing, replacing any old file;
    // 2 as 1, others may read meanwhile (the log); 3 open or create for writing.
    // Mode 1 writes a temporary file beside the target that close() renames
    // into place; a file destroyed or reopened without close() (a write that
    // threw) is dropped and the old file stays as it was.
    enum Mode : int32_t { kRead = 0, kWrite = 1, kWriteShareRead = 2, kOpenAlways = 3 };

    struct FileEntry {
        std::wstring name;          // full path with a folder, else the bare name
        uint64_t size = 0;          // bytes, all 64 bits
        int64_t lastWriteTime = 0;  // 100 ns units since 1601-01-01 UTC
    };

    File() = default;
    ~File() = default;  // an unclosed mode-1 file is dropped
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Closes any open file first. Throws "failed to open file." naming the file.
    void open(const std::wstring& name, int32_t mode);
    // Exactly size bytes at the current position; fewer is the code-30 error.
    void readBlock(void* buffer, int32_t size);
    // Exactly size bytes; fewer is the code-29 error.
    void write(const void* buffer, int32_t size);
    void seek(int64_t position);
    int64_t getSize() const;
    // Closing a mode-1 file puts it in place; that can fail ("MoveFileExW").
    void close();
    bool isOpen() const { return handle_.isOpen(); }

    // Files matching the pattern whose extension has exactly as many characters
    // as the pattern's (so "*.vin" never lists "x.vin2"). With a folder each
    // entry is folder/name, expanded; without, the bare name. Sorted by name.
    static std::vector<FileEntry> getFileList(const std::wstring& pattern, const std::wstring* folder = nullptr);
    // Sub-folders matching the pattern, bare names, none beginning with ".".
    static std::vector<FileEntry> getFolderList(const std::wstring& pattern);

    // The folder and every missing parent; an existing folder is success.
    static void createDirectory(const std::wstring& path);
    // The folder that stands in for the machine-wide program data.
    static std::wstring getSystemDirectory();

    static bool exists(const std::wstring& path);
    // False when the file could not be deleted.
    static bool deleteFile(const std::wstring& path);

private:
    Platform::os::FileHandle handle_;
};

// getFileList of the pattern with the pattern's own folder: full paths.
std::vector<File::FileEntry> findFilesByPattern(const std::wstring& pattern);

}  // namespace System
