#pragma once
#include <cstdint>

#include "platform/gpu/VulkanFwd.h"

namespace Platform::gpu {

class Device;

// Filters and address modes with the program's platform numbers.
inline constexpr uint32_t kFilterPoint = 0x00;   // min, mag and mip point
inline constexpr uint32_t kFilterLinear = 0x15;  // min, mag and mip linear
enum AddressMode : uint8_t {
    kAddressWrap = 1,
    kAddressMirror = 2,
    kAddressClamp = 3,
    kAddressBorder = 4,
    kAddressMirrorOnce = 5
};

// Only the top mip level is read; the border colour is transparent black,
// opaque black or opaque white (the colours the device offers).
struct SamplerDesc {
    uint32_t filter = kFilterLinear;
    uint8_t addressU = kAddressClamp, addressV = kAddressClamp, addressW = kAddressClamp;
    float border[4] = {0, 0, 0, 0};
};

class SamplerState {
public:
    ~SamplerState();
    SamplerState(const SamplerState&) = delete;
    SamplerState& operator=(const SamplerState&) = delete;
    const SamplerDesc& desc() const { return desc_; }
    VkSampler handle() const { return sampler_; }

private:
    friend class Device;
    SamplerState(Device& device, const SamplerDesc& desc) : device_(device), desc_(desc) {}
    Device& device_;
    SamplerDesc desc_;
    VkSampler sampler_ = nullptr;
};

}  // namespace Platform::gpu
