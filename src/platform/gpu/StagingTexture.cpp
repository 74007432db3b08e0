#include "platform/gpu/StagingTexture.h"

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

}  // namespace Platform::gpu
