#include "media/resource/TransitionData.h"

#include <algorithm>

#include "media/gpu/PathData.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/RenderTargetDirect3D.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"
#include "media/gpu/StyleBrush.h"
#include "media/image/ImageBuffer.h"
#include "media/resource/MaskSource.h"
#include "platform/draw2d/Geometry.h"
#include "platform/draw2d/GpuTarget.h"

namespace Resource {

void TransitionData::imageLimits(float p, int32_t blur, float& limitMin, float& limitMax) {
    const float f = float(blur + 16) / 384.0f;
    const float g = 1 - (2 * f + 1) * p + f;
    limitMin = g - f;
    limitMax = g + f;
}

void TransitionData::imageScale(uint32_t w, uint32_t h, uint32_t iw, uint32_t ih, float& x, float& y) {
    x = y = 1;
    const uint32_t num = h * iw, den = w * ih;
    if (den == 0) return;
    const float r = float(num) / float(den);
    if (r >= 1)
        x = 1 / r;
    else
        y = r;
}

std::unique_ptr<Media::ResourceBuffer> TransitionData::createMask(uint32_t width, uint32_t height, float p,
                                                                  int32_t blur, bool keepAspect) const {
    if (width == 0 || height == 0) return nullptr;
    if (path == nullptr) return createImageMask(width, height, p, blur, keepAspect);
    Media::Direct3DService* d3d = Media::Direct3DService::get();
    auto result = Media::ResourceBuffer::createBlank(width, height, d3d->pixelFormat);
    const MaskSource* filters = MaskSource::installed;
    if (kind != kShape) {
        if (filters == nullptr) return nullptr;
        const float black[4] = {0, 0, 0, 1};
        d3d->context->clearRenderTargetView(result->getRenderTargetView(), black);
        if (kind == kClock)
            filters->clipSector(*result, 90, (1 - p) * -360, blur);
        else if (kind == kHorizontal)
            filters->clipLine(*result, -90, (p - 0.5f) * float(width), 0, blur);
        else
            filters->clipLine(*result, 0, 0, (p - 0.5f) * float(height), blur);
        return result;
    }
    const float clear[4] = {0, 0, 0, 0};
    d3d->context->clearRenderTargetView(result->getRenderTargetView(), clear);
    {
        Media::RenderTargetDirect3D target(*result, true);
        Media::RenderTargetDirect3D::DrawScope scope(target);
        float a, b;
        if (keepAspect) {
            a = b = p * scale * float(std::max(width, height));
        } else {
            a = p * scale * float(width);
            b = p * scale * float(height);
        }
        if (target.bitmap && a > 0 && b > 0) {
            const auto geometry = path->createPathGeometry((float(width) - a) / 2, (float(height) - b) / 2, a, b);
            const auto white = ColorBrush::create({1, 1, 1, 1});
            target.bitmap->fillGeometry(*geometry, *white);
        }
    }
    if (blur > 0 && filters != nullptr) return filters->blur(*result, blur);
    return result;
}

std::unique_ptr<Media::ResourceBuffer> TransitionData::createImageMask(uint32_t width, uint32_t height, float p,
                                                                       int32_t blur, bool keepAspect) const {
    const MaskSource* source = MaskSource::installed;
    if (source == nullptr) return nullptr;
    const auto image = source->getImage(file);
    auto upload = Media::ResourceBuffer::createFromImageBuffer(image);
    if (!upload) return nullptr;
    Media::Direct3DService* d3d = Media::Direct3DService::get();
    ResourceService* resources = ResourceService::get();
    auto result = Media::ResourceBuffer::createBlank(width, height, d3d->pixelFormat);
    float constant[4];
    imageLimits(p, blur, constant[0], constant[1]);
    constant[2] = constant[3] = 1;
    if (keepAspect) imageScale(width, height, image->width, image->height, constant[2], constant[3]);
    Shader::PixelShaderList& shaders = resources->pixelShaders;
    std::copy(constant, constant + 4, shaders.constant);
    d3d->context->updateSubresource(*shaders.constantBuffer.buffer, shaders.constant);
    Platform::gpu::SamplerState* sampler = resources->samplerStates[1].createResource();
    if (d3d->boundSampler != sampler) {
        d3d->context->setSampler(Platform::gpu::ShaderStage::Pixel, 0, sampler);
        d3d->boundSampler = sampler;
    }
    shaders[23].drawResourceToResourceWithConstant(*result, *upload, shaders.constantBuffer.buffer.get(), nullptr);
    return result;
}

}  // namespace Resource
