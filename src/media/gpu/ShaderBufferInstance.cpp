#include "media/gpu/ShaderBufferInstance.h"

#include "core/Exception.h"

#include "media/gpu/RenderBuffer.h"
#include "media/gpu/ResourceBuffer.h"

namespace Media {

ShaderBufferInstance::~ShaderBufferInstance() = default;

void ShaderResourceBuffer::setTarget() { target->Direct3D->setResourceTarget(*target); }

Platform::gpu::View* ShaderResourceBuffer::getShaderResourceView() { return target->getShaderResourceView(); }

Platform::gpu::View* ShaderResourceBuffer::getUnorderedAccessView() { return target->getUnorderedAccessView(); }

Platform::gpu::View* ShaderResourceBuffer::getCopyShaderResourceView() {
    auto made = std::make_unique<ResourceBuffer>(target->width, target->height);
    if (made->texture && target->texture)
        if (const Platform::Result hr = target->Direct3D->context->copyResource(*made->texture, *target->texture);
            Platform::failed(hr))
            throw System::hresultException("Direct3D.context->CopyResource",
                                           "Media::ShaderResourceBuffer::getCopyShaderResourceView", hr);
    copy = std::move(made);
    return copy->getShaderResourceView();
}

void ShaderRenderBuffer::setTarget() { target->Direct3D->setRenderTarget(*target); }

Platform::gpu::View* ShaderRenderBuffer::getShaderResourceView() { return target->createShaderResourceView(); }

Platform::gpu::View* ShaderRenderBuffer::getUnorderedAccessView() { return target->createUnorderedAccessView(); }

Platform::gpu::View* ShaderRenderBuffer::getCopyShaderResourceView() {
    copy = target->createResourceBuffer(true);
    return copy->getShaderResourceView();
}

}  // namespace Media
