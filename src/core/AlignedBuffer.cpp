#include "core/AlignedBuffer.h"

#include <cstddef>
#include <deque>
#include <iterator>
#include <mutex>
#include <utility>
#include <vector>

#include "core/Exception.h"
#include "platform/os/AlignedMemory.h"
#include "platform/os/ErrorText.h"

namespace System {
namespace {

// Blocks of a megabyte and more that were given up, kept for the next request
// of about their size: frames decoded, rendered and read back at one size
// again and again take memory that is already mapped, instead of fresh pages
// that the system faults in and clears on every frame. A few are kept, within
// a byte budget; the oldest go first.
class LargeBlocks {
public:
    static constexpr uint32_t kSmallest = 1u << 20;
    static constexpr size_t kCount = 8;
    static constexpr uint64_t kBytes = uint64_t{256} << 20;

    // A kept block of at least size bytes and at most an eighth more, or null.
    uint8_t* take(uint32_t size, uint32_t& capacity) {
        if (size < kSmallest) return nullptr;
        std::lock_guard lock(mutex_);
        for (auto it = blocks_.rbegin(); it != blocks_.rend(); ++it) {
            if (it->capacity < size || it->capacity - size > size / 8) continue;
            uint8_t* data = it->data;
            capacity = it->capacity;
            bytes_ -= capacity;
            blocks_.erase(std::next(it).base());
            return data;
        }
        return nullptr;
    }

    // False when the block is not kept (the caller frees it).
    bool keep(uint8_t* data, uint32_t capacity) {
        if (capacity < kSmallest || capacity > kBytes) return false;
        std::vector<uint8_t*> dropped;
        {
            std::lock_guard lock(mutex_);
            blocks_.push_back({data, capacity});
            bytes_ += capacity;
            while (blocks_.size() > kCount || bytes_ > kBytes) {
                dropped.push_back(blocks_.front().data);
                bytes_ -= blocks_.front().capacity;
                blocks_.pop_front();
            }
        }
        for (uint8_t* block : dropped) Platform::os::alignedFree(block);
        return true;
    }

private:
    struct Block {
        uint8_t* data;
        uint32_t capacity;
    };
    std::mutex mutex_;
    std::deque<Block> blocks_;
    uint64_t bytes_ = 0;
};

// Never destroyed: buffers freed while the program ends still find it.
LargeBlocks& largeBlocks() {
    static LargeBlocks* blocks = new LargeBlocks;
    return *blocks;
}

}  // namespace

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
        uint32_t capacity = size;
        data_ = largeBlocks().take(size, capacity);
        if (data_ == nullptr) data_ = static_cast<uint8_t*>(Platform::os::alignedAllocate(size, kAlignment));
        if (data_ == nullptr)
            throw win32ErrorException("System::AlignedBuffer::allocMemory", Platform::os::kErrorOutOfMemory);
        capacity_ = capacity;
    }
    size_ = size;
}

void AlignedBuffer::freeMemory() {
    if (data_ != nullptr && !largeBlocks().keep(data_, capacity_)) Platform::os::alignedFree(data_);
    data_ = nullptr;
    capacity_ = 0;
    size_ = 0;
}

}  // namespace System
