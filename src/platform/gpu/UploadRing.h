#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gpu/VulkanFwd.h"
#include "platform/os/Result.h"

namespace Platform::gpu {

class Device;

// Command buffers, fences and upload memory come in a small ring of submission
// slots; recording goes on in one while the GPU works through the others.
inline constexpr uint32_t kSubmissionSlots = 3;

// Host-visible memory that a submission reads (constant and vertex data). Each
// slot takes chunks as it needs them and gives them back once its fence has
// signalled, so data written for one submission is never overwritten while the
// GPU may still read it, and steady use allocates nothing.
class UploadRing {
public:
    explicit UploadRing(Device& device);
    ~UploadRing();
    UploadRing(const UploadRing&) = delete;
    UploadRing& operator=(const UploadRing&) = delete;

    struct Allocation {
        VkBuffer buffer = nullptr;
        uint64_t offset = 0;
        uint8_t* data = nullptr;
    };
    Result allocate(uint32_t slot, uint64_t size, Allocation& out);
    // The slot's submission has completed: its chunks become free.
    void release(uint32_t slot);
    uint64_t bytesUsed(uint32_t slot) const { return bytesUsed_[slot]; }

private:
    struct Chunk {
        VkBuffer buffer = nullptr;
        VkDeviceMemory memory = nullptr;
        uint8_t* data = nullptr;
        uint64_t size = 0;
        uint64_t used = 0;
    };
    Result newChunk(uint64_t size, Chunk*& out);

    Device& device_;
    std::vector<std::unique_ptr<Chunk>> chunks_;
    std::vector<Chunk*> free_;
    std::vector<Chunk*> used_[kSubmissionSlots];
    uint64_t bytesUsed_[kSubmissionSlots] = {};
};

}  // namespace Platform::gpu
