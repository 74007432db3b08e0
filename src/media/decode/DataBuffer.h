#pragma once
#include <cstddef>
#include <cstdint>

// A grow-only heap byte buffer with a capacity and a used size. Growing frees
// the old memory first and does not keep the content.
namespace System {

class DataBuffer {
public:
    DataBuffer() = default;
    ~DataBuffer();
    DataBuffer(const DataBuffer&) = delete;
    DataBuffer& operator=(const DataBuffer&) = delete;

    // Makes the capacity at least size; throws the out-of-memory error (14).
    void allocMemory(size_t size);
    void release();

    uint8_t* data() { return data_; }
    const uint8_t* data() const { return data_; }
    size_t capacity() const { return capacity_; }
    size_t size() const { return size_; }
    // At most the capacity.
    void setSize(size_t size) { size_ = size < capacity_ ? size : capacity_; }

private:
    uint8_t* data_ = nullptr;
    size_t capacity_ = 0;
    size_t size_ = 0;
};

}  // namespace System
