#include "platform/gpu/StagingTexture.h"

#include <vulkan/vulkan.h>

#include "platform/gpu/Device.h"

namespace Platform::gpu {

StagingTexture::StagingTexture(Device& device, uint32_t width, uint32_t height, const FormatInfo& info)
    : device_(device), width_(width), height_(height), info_(&info) {}

StagingTexture::~StagingTexture() {
    Device::Retired r;
    r.buffer = buffer_;
    r.memory = memory_;  // unmapped when freed
    device_.retire(r);
}

void StagingTexture::read(MappedTexture& out) {
    if (!coherent_) {
        VkMappedMemoryRange range{VK_STRUCTURE_TYPE_MAPPED_MEMORY_RANGE};
        range.memory = memory_;
        range.size = VK_WHOLE_SIZE;
        vkInvalidateMappedMemoryRanges(device_.vkDevice(), 1, &range);
    }
    if (converted_) {
        for (uint32_t y = 0; y < height_; ++y)
            FormatTable::packRow(*info_, mapped_ + static_cast<size_t>(y) * gpuPitch_,
                                 converted_.get() + static_cast<size_t>(y) * cpuPitch_, width_);
        out.data = converted_.get();
    } else {
        out.data = mapped_;
    }
    out.rowPitch = cpuPitch_;
    out.depthPitch = cpuPitch_ * height_;
}

}  // namespace Platform::gpu
