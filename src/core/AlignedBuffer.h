#pragma once
#include <cstdint>

// A grow-only byte buffer aligned to 32 bytes for vector instructions, behind
// image rows, audio planes and read buffers. Growing does not keep the contents,
// and new memory holds anything: blocks of a megabyte and more that buffers give
// up are kept a while for the next buffers of about their size.
namespace System {

class AlignedBuffer {
public:
    static constexpr uint32_t kAlignment = 32;

    AlignedBuffer() = default;
    ~AlignedBuffer() { freeMemory(); }
    AlignedBuffer(const AlignedBuffer&) = delete;
    AlignedBuffer& operator=(const AlignedBuffer&) = delete;
    AlignedBuffer(AlignedBuffer&& other) noexcept;
    AlignedBuffer& operator=(AlignedBuffer&& other) noexcept;

    // Holds at least size bytes afterwards and uses size of them. Throws the
    // code-14 error when the memory cannot be had (the buffer is then empty).
    void allocMemory(uint32_t size);
    void freeMemory();

    uint8_t* data() const { return data_; }
    uint32_t capacity() const { return capacity_; }
    uint32_t size() const { return size_; }

private:
    uint8_t* data_ = nullptr;
    uint32_t capacity_ = 0;
    uint32_t size_ = 0;
};

}  // namespace System
