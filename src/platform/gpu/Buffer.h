#pragma once
#include <cstdint>
#include <memory>

#include "platform/gpu/VulkanFwd.h"

namespace Platform::gpu {

enum class BufferKind : uint8_t { Vertex, Constant };

// A vertex or constant buffer. Its contents live in system memory; the immediate
// context copies them into its per-submission ring the first time a submission
// uses them after a change, so an update never touches memory that recorded
// work still reads and affects only the draws recorded after it.
class Buffer {
public:
    Buffer(BufferKind kind, uint32_t size);
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;

    BufferKind kind() const { return kind_; }
    uint32_t size() const { return size_; }
    const uint8_t* contents() const { return contents_.get(); }

    // Inside the layer: the contents as copied for the submission `serial`.
    struct Slice {
        VkBuffer buffer = nullptr;
        uint64_t offset = 0;
        uint64_t serial = 0;  // 0: not copied since the last change
    };
    Slice& slice() { return slice_; }
    uint8_t* mutableContents() { return contents_.get(); }

private:
    BufferKind kind_;
    uint32_t size_;
    std::unique_ptr<uint8_t[]> contents_;
    Slice slice_;
};

}  // namespace Platform::gpu
