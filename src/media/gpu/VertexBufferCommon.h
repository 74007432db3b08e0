#pragma once
#include <cstdint>
#include <memory>

#include "platform/gpu/Buffer.h"
#include "platform/gpu/Context.h"

// A vertex buffer with its vertex count, stride and topology, and optionally
// its records in system memory; drawn by the Direct3D service.
namespace Media {

class VertexBufferCommon {
public:
    VertexBufferCommon() = default;
    // Room for `count` records of `recordSize` bytes in system memory; the GPU
    // buffer (and the stride) come with the first creation.
    VertexBufferCommon(uint32_t count, uint32_t recordSize);
    VertexBufferCommon(const VertexBufferCommon&) = delete;
    VertexBufferCommon& operator=(const VertexBufferCommon&) = delete;

    // count records of `stride` bytes, with initial data when given.
    void create(const void* initialData, uint32_t count, uint32_t stride);

    std::unique_ptr<Platform::gpu::Buffer> buffer;
    uint32_t vertexCount = 0;
    uint32_t stride = 0;
    Platform::gpu::Topology topology = Platform::gpu::Topology::TriangleStrip;
    std::unique_ptr<uint8_t[]> vertices;  // null for buffers that keep no copy
};

}  // namespace Media
