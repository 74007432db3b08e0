#pragma once
#include <cstdint>
#include <memory>

#include "platform/gpu/Buffer.h"
#include "platform/gpu/Context.h"

// A vertex buffer with its vertex count, stride and topology; drawn by the
// Direct3D service.
namespace Media {

class VertexBufferCommon {
public:
    // count records of `stride` bytes, with initial data when given.
    void create(const void* initialData, uint32_t count, uint32_t stride);

    std::unique_ptr<Platform::Gpu::Buffer> buffer;
    uint32_t vertexCount = 0;
    uint32_t stride = 0;
    Platform::Gpu::Topology topology = Platform::Gpu::Topology::TriangleStrip;
};

}  // namespace Media
