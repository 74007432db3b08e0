#include "media/gpu/VertexBufferCommon.h"

#include "core/Exception.h"
#include "media/gpu/Direct3DService.h"

namespace Media {

VertexBufferCommon::VertexBufferCommon(uint32_t count, uint32_t recordSize)
    : vertexCount(count), vertices(new uint8_t[static_cast<size_t>(count) * recordSize]()) {}

void VertexBufferCommon::create(const void* initialData, uint32_t count, uint32_t vertexStride) {
    vertexCount = count;
    stride = vertexStride;
    buffer.reset();
    if (const Platform::Result hr =
            Direct3DService::get()->device->createBuffer(Platform::gpu::BufferKind::Vertex, count * vertexStride,
                                                         initialData, buffer);
        Platform::failed(hr))
        throw System::hresultException("Direct3DService::get().device->CreateBuffer",
                                       "Media::VertexBufferCommon::create", hr);
}

}  // namespace Media
