#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/os/Result.h"

namespace Platform::imaging {

// Where an encoder writes, or what a decoder reads. Writing goes to a
// temporary file beside the target that replaces it only on commit; a stream
// destroyed before its commit removes the temporary file and leaves any old
// file as it was.
class FileStream {
public:
    FileStream() = default;
    ~FileStream();
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    // For writing: fails with the system error when the folder is missing or
    // not writable.
    Result initializeFromFilename(const std::string& path);
    // For reading: the memory must outlive the stream and its decoders.
    Result initializeFromMemory(const uint8_t* data, size_t size);

    Result write(const uint8_t* data, size_t size);
    Result commit();

    const uint8_t* memory() const { return memory_; }
    size_t memorySize() const { return memorySize_; }
    bool writable() const { return fd_ >= 0; }

private:
    int fd_ = -1;
    std::string path_;
    std::string temporary_;
    const uint8_t* memory_ = nullptr;
    size_t memorySize_ = 0;
};

}  // namespace Platform::imaging
