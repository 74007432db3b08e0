#include "media/gpu/ResourceBuffer.h"

#include <algorithm>
#include <atomic>

#include "core/Exception.h"
#include "media/image/ImageBuffer.h"
#include "media/image/PixelFormat.h"
#include "media/gpu/ResourceConvert.h"

namespace Media {

using namespace Platform::gpu;

uint64_t ResourceBuffer::newStamp() {
    static std::atomic<uint64_t> next{0};
    return ++next;
}

ResourceBuffer::ResourceBuffer(uint32_t w, uint32_t h) : ResourceBuffer(w, h, Direct3DService::get()->pixelFormat) {}

ResourceBuffer::ResourceBuffer(uint32_t w, uint32_t h, int32_t f)
    : width(std::min(w, kMaxSize)), height(std::min(h, kMaxSize)), format(f) {
    if (width != 0 || height != 0) createTexture2D();
}

ResourceBuffer::~ResourceBuffer() { releaseResource(); }

std::unique_ptr<ResourceBuffer> ResourceBuffer::createBlank(uint32_t w, uint32_t h, int32_t f) {
    return std::unique_ptr<ResourceBuffer>(new ResourceBuffer(w, h, f));
}

std::unique_ptr<ResourceBuffer> ResourceBuffer::createFromImageBuffer(const std::shared_ptr<ImageBuffer>& image) {
    if (!image) return nullptr;
    auto buffer = std::make_unique<ResourceBuffer>(0, 0);
    if (image->format != buffer->format) {
        ResourceConvert().convert(*image, *buffer);
        return buffer;
    }
    buffer->setImage(*image);
    return buffer;
}

void ResourceBuffer::setImage(const ImageBuffer& image) {
    const int32_t wanted = image.format == PixelFormat::kYuy2 ? PixelFormat::kG8R8G8B8Unorm : image.format;
    if (texture && width == image.width && height == image.height && format == wanted && image.data() != nullptr) {
        // The same shape again (the next frame of a movie): the texture and its
        // views stay, only the texels are replaced.
        Direct3D->context->updateSubresource(*texture, image.data(), image.pitch);
        return;
    }
    width = image.width;
    height = image.height;
    format = wanted;
    releaseResource();
    const InitialData initial{image.data(), image.pitch};
    createTexture2D(&initial);
}

void ResourceBuffer::createTexture2D(const InitialData* initial) {
    texture.reset();
    renderTargetView = shaderResourceView = unorderedAccessView = nullptr;
    TextureDesc desc;
    desc.width = width;
    desc.height = height;
    desc.format = format;
    desc.sampleCount = 1;
    const bool drawable =
        format == Direct3D->pixelFormat || format == Direct3D->maskFormat || format == PixelFormat::kR32Float;
    desc.bindFlags = drawable ? kBindShaderResource | kBindRenderTarget | kBindUnorderedAccess : kBindShaderResource;
    if (const Platform::Result hr = Direct3D->device->createTexture(desc, initial, texture); Platform::failed(hr))
        throw System::hresultException("Direct3D.device->CreateTexture2D", "Media::ResourceBuffer::createTexture2D",
                                       hr);
}

View* ResourceBuffer::makeView(ViewKind kind, const char* call, const char* scope) {
    View* view = nullptr;
    const Platform::Result hr = texture ? texture->view(kind, view) : Platform::kInvalidArg;
    if (Platform::failed(hr)) throw System::hresultException(call, scope, hr);
    return view;
}

void ResourceBuffer::createShaderResourceView() {
    shaderResourceView = nullptr;
    shaderResourceView = makeView(ViewKind::ShaderResource, "Direct3D.device->CreateShaderResourceView",
                                  "Media::ResourceBuffer::createShaderResourceView");
}

void ResourceBuffer::createRenderTargetView() {
    renderTargetView = nullptr;
    renderTargetView = makeView(ViewKind::RenderTarget, "Direct3D.device->CreateRenderTargetView",
                                "Media::ResourceBuffer::createRenderTargetView");
}

void ResourceBuffer::createUnorderedAccessView() {
    unorderedAccessView = nullptr;
    unorderedAccessView = makeView(ViewKind::UnorderedAccess, "Direct3D.device->CreateUnorderedAccessView",
                                   "Media::ResourceBuffer::createUnorderedAccessView");
}

View* ResourceBuffer::getShaderResourceView() {
    if (!shaderResourceView) createShaderResourceView();
    return shaderResourceView;
}

View* ResourceBuffer::getRenderTargetView() {
    if (!renderTargetView) createRenderTargetView();
    return renderTargetView;
}

View* ResourceBuffer::getUnorderedAccessView() {
    if (!unorderedAccessView) createUnorderedAccessView();
    return unorderedAccessView;
}

void ResourceBuffer::releaseResource() {
    unorderedAccessView = nullptr;
    renderTargetView = nullptr;
    shaderResourceView = nullptr;
    texture.reset();
}

void ResourceBuffer::clearUnorderedAccessView(float value) {
    const float values[4] = {value, value, value, value};
    Direct3D->context->clearUnorderedAccessViewFloat(getUnorderedAccessView(), values);
}

void ResourceBuffer::copyRegion(ResourceBuffer& source, uint32_t x, uint32_t y, uint32_t w, uint32_t h) {
    if (x + w < width || y + h < height || !texture || !source.texture) return;
    // The box is limited to the source and to this buffer, so that a box that
    // reaches past the source copies what it covers instead of nothing.
    Box box;
    box.left = x;
    box.top = y;
    box.right = std::min({x + w, source.width, x + width});
    box.bottom = std::min({y + h, source.height, y + height});
    if (box.left >= box.right || box.top >= box.bottom) return;
    Direct3D->context->copySubresourceRegion(*texture, 0, 0, *source.texture, &box);
}

std::unique_ptr<ResourceBuffer> ResourceBuffer::clone() {
    auto copy = std::make_unique<ResourceBuffer>(width, height);
    if (copy->texture && texture)
        if (const Platform::Result hr = Direct3D->context->copyResource(*copy->texture, *texture); Platform::failed(hr))
            throw System::hresultException("Direct3D.context->CopyResource", "Media::ResourceBuffer::clone", hr);
    return copy;
}

std::unique_ptr<ResourceBuffer> ResourceBuffer::createExpanded(uint32_t W, uint32_t H, int32_t x, int32_t y) {
    auto result = std::make_unique<ResourceBuffer>(W, H);
    const float transparent[4] = {0, 0, 0, 0};
    Direct3D->context->clearRenderTargetView(result->getRenderTargetView(), transparent);
    Box box;
    box.left = x < 0 ? 0u - static_cast<uint32_t>(x) : 0;
    box.top = y < 0 ? 0u - static_cast<uint32_t>(y) : 0;
    const uint32_t dx = x < 0 ? 0 : static_cast<uint32_t>(x);
    const uint32_t dy = y < 0 ? 0 : static_cast<uint32_t>(y);
    // Limited to the source and to what lies inside the result from the
    // destination point, so that nothing reaches past either.
    box.right = std::min(width, box.left + result->width);
    box.bottom = std::min(height, box.top + result->height);
    if (dx < result->width) box.right = std::min(box.right, box.left + (result->width - dx));
    if (dy < result->height) box.bottom = std::min(box.bottom, box.top + (result->height - dy));
    if (dx < result->width && dy < result->height && box.left < box.right && box.top < box.bottom && texture)
        Direct3D->context->copySubresourceRegion(*result->texture, dx, dy, *texture, &box);
    return result;
}

Platform::gpu::Texture& ResourceBuffer::getSurface() {
    if (!texture)
        throw System::hresultException("buffer.As", "Media::ResourceBuffer::getSurface", Platform::kInvalidArg);
    return *texture;
}

}  // namespace Media
