#include "core/AlignedBuffer.h"

#include <utility>

#include "core/Exception.h"
#include "platform/os/AlignedMemory.h"
#include "platform/os/ErrorText.h"

namespace System {

AlignedBuffer::AlignedBuffer(AlignedBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      capacity_(std::exchange(other.capacity_, 0)),
      size_(std::exchange(other.size_, 0)) {}

AlignedBuffer& AlignedBuffer::operator=(AlignedBuffer&& other) noexcept {
    if (this != &other) {
        freeMemory();
        data_ = std::exchange(other.data_, nullptr);
        capacity_ = std::exchange(other.capacity_, 0);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

void AlignedBuffer::allocMemory(uint32_t size) {
    if (size > capacity_) {
        freeMemory();
        data_ = static_cast<uint8_t*>(Platform::os::alignedAllocate(size, kAlignment));
        if (data_ == nullptr)
            throw win32ErrorException("System::AlignedBuffer::allocMemory", Platform::os::kErrorOutOfMemory);
        capacity_ = size;
    }
    size_ = size;
}

void AlignedBuffer::freeMemory() {
    if (data_ != nullptr) Platform::os::alignedFree(data_);
    data_ = nullptr;
    capacity_ = 0;
    size_ = 0;
}

}  // namespace System
