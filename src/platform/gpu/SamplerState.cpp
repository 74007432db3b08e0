#include "platform/gpu/SamplerState.h"

#include "platform/gpu/Device.h"

namespace Platform::gpu {

SamplerState::~SamplerState() {
    Device::Retired r;
    r.sampler = sampler_;
    device_.retire(r);
}

}  // namespace Platform::gpu
