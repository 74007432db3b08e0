#pragma once
#include <cstdint>
#include <memory>

#include "platform/gpu/Buffer.h"

// The part every constant buffer shares: the device buffer. Its user keeps
// the contents in a record laid out as the shader's cbuffer and sends it whole.
namespace Media {

class ConstantBufferCommon {
public:
    // Exactly `size` bytes (callers pass multiples of 16); initial data optional.
    void create(const void* initialData, uint32_t size);

    std::unique_ptr<Platform::gpu::Buffer> buffer;
};

}  // namespace Media
