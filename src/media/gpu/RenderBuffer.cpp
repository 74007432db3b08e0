#include "media/gpu/RenderBuffer.h"

#include <algorithm>
#include <cstring>

#include "core/Exception.h"
#include "media/gpu/CpuAccessBuffer.h"
#include "media/gpu/FrameReadBack.h"
#include "media/image/ImageBuffer.h"
#include "media/image/PixelFormat.h"
#include "media/gpu/PixelShaderList.h"
#include "media/gpu/ResourceConvert.h"
#include "media/gpu/ResourceBuffer.h"

namespace Media {

using namespace Platform::gpu;

namespace {

void clearDepth(ResourceBuffer& buffer) { buffer.clearUnorderedAccessView(1e10f); }

void clearTransparent(ResourceBuffer& buffer) {
    const float color[4] = {0, 0, 0, 0};
    buffer.Direct3D->context->clearRenderTargetView(buffer.getRenderTargetView(), color);
}

void clearNormal(ResourceBuffer& buffer) {
    const float color[4] = {0, 0, 0, -1};
    buffer.Direct3D->context->clearRenderTargetView(buffer.getRenderTargetView(), color);
}

::Shader::PixelShaderList& pixelShaders() {
    Resource::ResourceService* service = Resource::ResourceService::get();
    if (!service) throw System::messageException("Media::RenderBuffer", "resource service not available.");
    return service->pixelShaders;
}

}  // namespace

RenderBuffer::RenderBuffer(int32_t f, Direct3DService::SampleDesc sample)
    : format(f), sampleCount(sample.count), sampleQuality(sample.quality) {}

RenderBuffer::~RenderBuffer() {
    staging_.reset();
    packed_.reset();
    converted_.reset();
    releaseResource();
    lights.clear();
    normalTransparentBuffer.reset();
    normalBuffer.reset();
    transparentDepthBuffer.reset();
    transparentBuffer.reset();
    depthBuffer.reset();
}

void RenderBuffer::createTexture2D(uint32_t w, uint32_t h) {
    if (w == width && h == height) return;
    width = w;
    height = h;
    releaseResource();
    TextureDesc desc;
    desc.width = width;
    desc.height = height;
    desc.format = format;
    desc.sampleCount = sampleCount;
    if (sampleCount != 1)
        desc.bindFlags = kBindRenderTarget;
    else if (format == Direct3D->pixelFormat)
        desc.bindFlags = kBindRenderTarget | kBindShaderResource | kBindUnorderedAccess;
    else
        desc.bindFlags = kBindRenderTarget | kBindShaderResource;
    if (const Platform::Result hr = Direct3D->device->createTexture(desc, nullptr, texture); Platform::failed(hr))
        throw System::hresultException("Direct3D.device->CreateTexture2D", "Media::RenderBuffer::createTexture2D", hr);
}

void RenderBuffer::createRenderTargetView() {
    renderTargetView = nullptr;
    const Platform::Result hr =
        texture ? texture->view(ViewKind::RenderTarget, renderTargetView) : Platform::kInvalidArg;
    if (Platform::failed(hr))
        throw System::hresultException("Direct3D.device->CreateRenderTargetView",
                                       "Media::RenderBuffer::createRenderTargetView", hr);
}

View* RenderBuffer::createShaderResourceView() {
    if (!shaderResourceView) {
        const Platform::Result hr =
            texture ? texture->view(ViewKind::ShaderResource, shaderResourceView) : Platform::kInvalidArg;
        if (Platform::failed(hr))
            throw System::hresultException("Direct3D.device->CreateShaderResourceView",
                                           "Media::RenderBuffer::createShaderResourceView", hr);
    }
    return shaderResourceView;
}

View* RenderBuffer::createUnorderedAccessView() {
    if (!unorderedAccessView) {
        const Platform::Result hr =
            texture ? texture->view(ViewKind::UnorderedAccess, unorderedAccessView) : Platform::kInvalidArg;
        if (Platform::failed(hr))
            throw System::hresultException("Direct3D.device->CreateUnorderedAccessView",
                                           "Media::RenderBuffer::createUnorderedAccessView", hr);
    }
    return unorderedAccessView;
}

void RenderBuffer::releaseResource() {
    unorderedAccessView = nullptr;
    shaderResourceView = nullptr;
    renderTargetView = nullptr;
    texture.reset();
}

ResourceBuffer* RenderBuffer::auxiliary(std::unique_ptr<ResourceBuffer>& slot, int32_t auxFormat, Clear clear) {
    // Made again when the frame size changed, so that the shaders never index
    // past a buffer made for a smaller frame.
    const uint32_t w = std::min(width, ResourceBuffer::kMaxSize), h = std::min(height, ResourceBuffer::kMaxSize);
    if (slot && (slot->width != w || slot->height != h)) slot.reset();
    if (!slot) {
        auto made = ResourceBuffer::createBlank(width, height, auxFormat);
        clear(*made);
        slot = std::move(made);
    }
    return slot.get();
}

ResourceBuffer* RenderBuffer::getDepthBuffer() { return auxiliary(depthBuffer, PixelFormat::kR32Float, clearDepth); }
ResourceBuffer* RenderBuffer::getTransparentBuffer() { return auxiliary(transparentBuffer, format, clearTransparent); }
ResourceBuffer* RenderBuffer::getTransparentDepthBuffer() {
    return auxiliary(transparentDepthBuffer, PixelFormat::kR32Float, clearDepth);
}
ResourceBuffer* RenderBuffer::getNormalBuffer() {
    return auxiliary(normalBuffer, PixelFormat::kR16G16B16A16Float, clearNormal);
}
ResourceBuffer* RenderBuffer::getNormalTransparentBuffer() {
    return auxiliary(normalTransparentBuffer, PixelFormat::kR16G16B16A16Float, clearNormal);
}

namespace {

// A copy that fails throws: the destination, staging memory kept from an
// earlier frame among them, still holds what it held before.
template <class Destination>
void copyInto(Platform::gpu::Context& context, Destination& destination, Platform::gpu::Texture& source,
              const char* scope) {
    if (const Platform::Result hr = context.copyResource(destination, source); Platform::failed(hr))
        throw System::hresultException("Direct3D.context->CopyResource", scope, hr);
}

}  // namespace

std::unique_ptr<ResourceBuffer> RenderBuffer::createResourceBuffer(bool copy) {
    auto result = std::make_unique<ResourceBuffer>(width, height);
    if (!texture || !result->texture) return result;
    if (sampleCount != 1)
        Direct3D->context->resolveSubresource(*result->texture, *texture);
    else if (copy)
        copyInto(*Direct3D->context, *result->texture, *texture, "Media::RenderBuffer::createResourceBuffer");
    else
        pixelShaders()[14].drawRenderToResource(*result, *this);
    return result;
}

CpuAccessBuffer& RenderBuffer::staging() {
    if (!staging_ || staging_->texture->width() != width || staging_->texture->height() != height ||
        staging_->texture->format() != format) {
        staging_.reset();
        staging_ = std::make_unique<CpuAccessBuffer>(width, height, format);
    }
    return *staging_;
}

std::shared_ptr<ImageBuffer> RenderBuffer::readImageBuffer() {
    CpuAccessBuffer& staging = this->staging();
    copyInto(*Direct3D->context, *staging.texture, *texture, "Media::RenderBuffer::readImageBuffer");
    // The GPU copies while the image's memory is made ready here: new pages are
    // faulted in beside its work instead of after it.
    (void)Direct3D->context->flush();
    auto image = std::make_shared<ImageBuffer>(format, 0, 0);
    image->create(width, height, staging.texture->rowPitch());
    std::memset(image->data(), 0, image->pixels.size());
    CpuAccessBuffer::Map map(staging, "Media::RenderBuffer::readImageBuffer");
    std::memcpy(image->data(), map.data(), static_cast<size_t>(image->pitch) * height);
    return image;
}

std::shared_ptr<ImageBuffer> RenderBuffer::readYuy2ImageBuffer() {
    CpuAccessBuffer& staging = this->staging();
    copyInto(*Direct3D->context, *staging.texture, *texture, "Media::RenderBuffer::readYuy2ImageBuffer");
    CpuAccessBuffer::Map map(staging, "Media::RenderBuffer::readYuy2ImageBuffer");
    auto image = std::make_shared<ImageBuffer>(PixelFormat::kYuy2, width, height);
    image->packYuy2(map.data(), width, height, map.rowPitch());
    return image;
}

RenderBuffer& RenderBuffer::converted(int32_t imageFormat, bool straightAlpha) {
    size_t entry = 2;
    if (imageFormat == PixelFormat::kR8G8B8A8Unorm || imageFormat == PixelFormat::kB8G8R8A8Unorm)
        entry = straightAlpha ? 13 : 15;
    else if (imageFormat == PixelFormat::kB8G8R8X8Unorm)
        entry = 14;
    if (!converted_ || converted_->format != imageFormat)
        converted_ = std::make_unique<RenderBuffer>(imageFormat, Direct3D->defaultSampleDesc);
    converted_->createTexture2D(width, height);
    pixelShaders()[entry].drawViewToRender(*converted_, createShaderResourceView(), nullptr);
    return *converted_;
}

std::shared_ptr<ImageBuffer> RenderBuffer::createImageBuffer(int32_t imageFormat, bool straightAlpha) {
    if (imageFormat == PixelFormat::kYuy2 || imageFormat == PixelFormat::kR16G16B16A16Snorm)
        return ResourceConvert().convertToImage(*this, imageFormat);
    return converted(imageFormat, straightAlpha).readImageBuffer();
}

// One conversion target serves every frame in flight: the GPU runs the
// submissions in order, and the context puts a barrier between the copy out of
// it and the next frame's conversion into it. Only the staging memory, which
// the CPU reads while the next frames are drawn, is one per frame in flight.
std::shared_ptr<FrameReadBack> RenderBuffer::submitImageBuffer(int32_t imageFormat, bool straightAlpha) {
    if (imageFormat == PixelFormat::kYuy2 || imageFormat == PixelFormat::kR16G16B16A16Snorm)
        return std::make_shared<FrameReadBack>(createImageBuffer(imageFormat, straightAlpha));
    return converted(imageFormat, straightAlpha).submitReadBack();
}

std::shared_ptr<FrameReadBack> RenderBuffer::submitReadBack() {
    if (!texture) throw System::messageException("Media::RenderBuffer::submitReadBack", "no texture.");
    if (!readBacks_) readBacks_ = std::make_shared<ReadBackPool>();
    std::unique_ptr<CpuAccessBuffer> staging = readBacks_->take(width, height, format);
    Platform::Result hr = Direct3D->context->copyResource(*staging->texture, *texture);
    uint64_t ticket = 0;
    if (Platform::succeeded(hr)) hr = Direct3D->context->submitReadBack(*staging->texture, ticket);
    if (Platform::failed(hr))
        throw System::hresultException("Direct3D.context->CopyResource", "Media::RenderBuffer::submitReadBack", hr);
    return std::make_shared<FrameReadBack>(readBacks_, std::move(staging), ticket);
}

// The packing target is read by the same rule as the conversion target: one
// serves every frame in flight, each read-back has staging memory of its own.
std::shared_ptr<FrameReadBack> RenderBuffer::submitBgr24Bits() {
    if (!texture) throw System::messageException("Media::RenderBuffer::submitBgr24Bits", "no texture.");
    if (!packed_) packed_ = std::make_unique<RenderBuffer>(PixelFormat::kR8G8B8A8Unorm, Direct3DService::SampleDesc{1, 0});
    packed_->createTexture2D((width * 3 + 3) / 4, height);
    // A multisampled frame cannot be read by the pass: resolve it first.
    std::unique_ptr<ResourceBuffer> resolved;
    if (sampleCount != 1) resolved = createResourceBuffer(true);
    pixelShaders().packBgr24.drawViewToRender(
        *packed_, resolved ? resolved->getShaderResourceView() : createShaderResourceView(), nullptr);
    return packed_->submitReadBack();
}

size_t RenderBuffer::readBackStagingCount() const {
    size_t count = readBacks_ ? readBacks_->madeCount() : 0;
    if (converted_) count += converted_->readBackStagingCount();
    if (packed_) count += packed_->readBackStagingCount();
    return count;
}

void renderBufferSize(const RenderBuffer& buffer, int32_t& width, int32_t& height) {
    width = static_cast<int32_t>(buffer.width);
    height = static_cast<int32_t>(buffer.height);
}

}  // namespace Media
