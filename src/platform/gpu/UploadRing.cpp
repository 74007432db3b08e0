#include "platform/gpu/UploadRing.h"

#include <vulkan/vulkan.h>

#include "platform/gpu/Device.h"

namespace Platform::gpu {
namespace {
constexpr uint64_t kChunkSize = 4u << 20;
constexpr uint64_t kAlignment = 256;  // covers every device's uniform offset alignment
}  // namespace

UploadRing::UploadRing(Device& device) : device_(device) {
    for (auto& u : used_) u.reserve(16);
    free_.reserve(16);
}

UploadRing::~UploadRing() {
    VkDevice d = device_.vkDevice();
    for (auto& c : chunks_) {
        vkDestroyBuffer(d, c->buffer, nullptr);
        vkFreeMemory(d, c->memory, nullptr);
    }
}

Result UploadRing::newChunk(uint64_t size, Chunk*& out) {
    VkDevice d = device_.vkDevice();
    auto chunk = std::make_unique<Chunk>();
    chunk->size = size;
    VkBufferCreateInfo bci{VK_STRUCTURE_TYPE_BUFFER_CREATE_INFO};
    bci.size = size;
    bci.usage =
        VK_BUFFER_USAGE_VERTEX_BUFFER_BIT | VK_BUFFER_USAGE_UNIFORM_BUFFER_BIT | VK_BUFFER_USAGE_TRANSFER_SRC_BIT;
    VkResult vr = vkCreateBuffer(d, &bci, nullptr, &chunk->buffer);
    if (vr != VK_SUCCESS) return resultFromVulkan(vr);
    VkMemoryRequirements req;
    vkGetBufferMemoryRequirements(d, chunk->buffer, &req);
    int32_t type = device_.memoryType(req.memoryTypeBits,
                                      VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT | VK_MEMORY_PROPERTY_HOST_COHERENT_BIT);
    VkMemoryAllocateInfo mai{VK_STRUCTURE_TYPE_MEMORY_ALLOCATE_INFO};
    mai.allocationSize = req.size;
    mai.memoryTypeIndex = static_cast<uint32_t>(type);
    vr = type < 0 ? VK_ERROR_OUT_OF_DEVICE_MEMORY : vkAllocateMemory(d, &mai, nullptr, &chunk->memory);
    void* mapped = nullptr;
    if (vr == VK_SUCCESS) vr = vkBindBufferMemory(d, chunk->buffer, chunk->memory, 0);
    if (vr == VK_SUCCESS) vr = vkMapMemory(d, chunk->memory, 0, VK_WHOLE_SIZE, 0, &mapped);
    if (vr != VK_SUCCESS) {
        vkDestroyBuffer(d, chunk->buffer, nullptr);
        if (chunk->memory) vkFreeMemory(d, chunk->memory, nullptr);
        return resultFromVulkan(vr);
    }
    chunk->data = static_cast<uint8_t*>(mapped);
    out = chunk.get();
    chunks_.push_back(std::move(chunk));
    return kOk;
}

Result UploadRing::allocate(uint32_t slot, uint64_t size, Allocation& out) {
    std::vector<Chunk*>& used = used_[slot];
    Chunk* chunk = used.empty() ? nullptr : used.back();
    uint64_t offset = chunk ? (chunk->used + kAlignment - 1) / kAlignment * kAlignment : 0;
    if (!chunk || offset + size > chunk->size) {
        chunk = nullptr;
        for (size_t i = 0; i < free_.size(); ++i) {
            if (free_[i]->size >= size) {
                chunk = free_[i];
                free_.erase(free_.begin() + static_cast<std::ptrdiff_t>(i));
                break;
            }
        }
        if (!chunk) {
            Result r = newChunk(size > kChunkSize ? size : kChunkSize, chunk);
            if (failed(r)) return r;
        }
        chunk->used = 0;
        offset = 0;
        used.push_back(chunk);
    }
    chunk->used = offset + size;
    bytesUsed_[slot] += size;
    out.buffer = chunk->buffer;
    out.offset = offset;
    out.data = chunk->data + offset;
    return kOk;
}

void UploadRing::release(uint32_t slot) {
    for (Chunk* c : used_[slot]) free_.push_back(c);
    used_[slot].clear();
    bytesUsed_[slot] = 0;
}

}  // namespace Platform::gpu
