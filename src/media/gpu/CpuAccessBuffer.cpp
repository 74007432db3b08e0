#include "media/gpu/CpuAccessBuffer.h"

#include "core/Exception.h"
#include "media/gpu/Direct3DService.h"

namespace Media {

CpuAccessBuffer::CpuAccessBuffer(uint32_t width, uint32_t height, int32_t format) {
    if (const Platform::Result hr =
            Direct3DService::get()->device->createStagingTexture(width, height, format, texture);
        Platform::failed(hr))
        throw System::hresultException("Direct3DService::get().device->CreateTexture2D",
                                       "Media::CpuAccessBuffer::CpuAccessBuffer", hr);
}

CpuAccessBuffer::Map::Map(CpuAccessBuffer& buffer, const char* scope) : buffer_(buffer) {
    if (const Platform::Result hr = Direct3DService::get()->context->map(*buffer.texture, mapped_);
        Platform::failed(hr))
        throw System::hresultException("Direct3D.context->Map", scope, hr);
}

CpuAccessBuffer::Map::~Map() { Direct3DService::get()->context->unmap(*buffer_.texture); }

}  // namespace Media
