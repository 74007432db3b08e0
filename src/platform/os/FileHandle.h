#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/os/Result.h"

// One open file. Calls that fail return a failure result and leave the
// system error in lastError().
namespace Platform::os {

enum class FileMode : int32_t {
    read = 0,         // existing file, read only
    write = 1,        // create or truncate, write only
    writeShared = 2,  // as write; others may read meanwhile (Linux never locks them out)
    openAlways = 3,   // open or create without truncating, write only
};

class FileHandle {
public:
    FileHandle() = default;
    ~FileHandle() { close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    // Closes any open file first. The path is UTF-8.
    Result open(const std::string& path, FileMode mode);
    // Opens a new temporary file in the folder of path; commit() puts it in
    // place of path in one step, close() without commit() deletes it, so the
    // file at path is never seen half-written. The temporary has no name
    // until commit where the file system allows, so a killed process leaves
    // nothing; else it is named "<path>.~" and six characters, and such files
    // a killed writer left are deleted by the next replacement of path. A path that names a named pipe
    // or a device is opened for writing in place instead (isReplacement() false).
    Result openReplacement(const std::string& path);
    Result commit();
    void close();
    bool isOpen() const { return fd_ >= 0; }
    bool isReplacement() const { return unnamed_ || !temporary_.empty(); }

    // Reads until count bytes or the end of the file; done says how many.
    Result read(void* buffer, size_t count, size_t& done);
    // Writes until count bytes or a failure; done says how many.
    Result write(const void* buffer, size_t count, size_t& done);
    // Absolute position from the start of the file.
    Result seek(int64_t position);
    Result size(int64_t& out) const;
    // Flushes the file's data to the disk.
    Result sync();

private:
    int fd_ = -1;
    std::string target_;  // set while a replacement is open
    std::string temporary_;  // the named temporary, or the name an unnamed one takes at commit
    bool unnamed_ = false;    // written without a name (O_TMPFILE) until commit
};

}  // namespace Platform::os
