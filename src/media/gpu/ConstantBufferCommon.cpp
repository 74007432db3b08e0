#include "media/gpu/ConstantBufferCommon.h"

#include "core/Exception.h"
#include "media/gpu/Direct3DService.h"

namespace Media {

void ConstantBufferCommon::create(const void* initialData, uint32_t size) {
    buffer.reset();
    if (const Platform::Result hr = Direct3DService::get()->device->createBuffer(Platform::gpu::BufferKind::Constant,
                                                                                 size, initialData, buffer);
        Platform::failed(hr))
        throw System::hresultException("Direct3DService::get().device->CreateBuffer",
                                       "Media::ConstantBufferCommon::create", hr);
}

}  // namespace Media
