#include "media/gpu/FrameImage.h"

#include <cstring>

#include "core/Exception.h"
#include "media/gpu/CpuAccessBuffer.h"
#include "media/image/PixelFormat.h"
#include "media/gpu/PixelShaderList.h"
#include "media/gpu/RenderBuffer.h"
#include "media/gpu/ResourceBuffer.h"

namespace Media {

void FrameImage::copyFrom(RenderBuffer& buffer) {
    if (buffer.sampleCount == 1) {
        copyFromView(buffer.createShaderResourceView(), buffer.width, buffer.height);
        return;
    }
    std::unique_ptr<ResourceBuffer> resolved = buffer.createResourceBuffer(true);
    copyFromView(resolved->getShaderResourceView(), resolved->width, resolved->height);
}

void FrameImage::copyFromView(Platform::gpu::View* view, uint32_t width, uint32_t height) {
    if (!pixelShaderList)
        throw System::messageException("Media::FrameImage::copyFromView", "resource service not available.");
    RenderBuffer temporary(PixelFormat::kR8G8B8A8Unorm, {1, 0});
    temporary.createTexture2D(width, height);
    (*pixelShaderList)[2].drawViewToRender(temporary, view, nullptr);
    CpuAccessBuffer staging(width, height, PixelFormat::kR8G8B8A8Unorm);
    if (const Platform::Result hr = Direct3D->context->copyResource(*staging.texture, *temporary.texture);
        Platform::failed(hr))
        throw System::hresultException("Direct3D.context->CopyResource", "Media::FrameImage::copyFromView", hr);
    CpuAccessBuffer::Map map(staging, "Media::FrameImage::copyFromView");
    Platform::os::MutexLock lock(mutex);
    image.create(width, height, map.rowPitch());
    std::memcpy(image.data(), map.data(), static_cast<size_t>(image.pitch) * height);
}

}  // namespace Media
