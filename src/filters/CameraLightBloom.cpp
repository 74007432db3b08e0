#include "filters/CameraLightBloom.h"

#include <cmath>

#include "effect/RenderContext.h"
#include "filters/FilterPasses.h"
#include "media/gpu/ConstantBufferCommon.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/RenderBuffer.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {
namespace {

constexpr size_t kAddByFactor = 13;  // blend: source times the factor added
enum : size_t { kBlurRows, kBlurColumns };

}  // namespace

CameraLightBloom::CameraLightBloom() {
    role = kFilter;
    media = kCamera;
    placement = kCamera;
    menuGroup = L"カメラ制御";
}

void CameraLightBloom::createCommonResource() {
    auto made = ShaderResource::create(2, 16);
    FilterPasses::loadShaders(*made, {"BloomBoxH", "BloomBoxV"}, "Effect::CameraLightBloom::createCommonResource");
    resource = std::move(made);
}

std::vector<int32_t> CameraLightBloom::radii(int32_t diffusion) {
    return {diffusion / 16, diffusion / 16, diffusion / 8, diffusion / 4, diffusion / 2};
}

void CameraLightBloom::blur(Media::ResourceBuffer& image, Media::ResourceBuffer& scratch, int32_t radius) {
    if (radius <= 0 || !resource) return;
    struct {
        int32_t range;
        float divive;
        float padding[2];
    } constant{radius, 1.0f / static_cast<float>(2 * radius + 1), {}};
    Platform::gpu::Buffer* buffer = resource->constant->buffer.get();
    FilterPasses::device().updateSubresource(*buffer, &constant);
    resource->shaders[kBlurRows]->drawResourceToResourceWithConstant(scratch, image, buffer, nullptr);
    resource->shaders[kBlurColumns]->drawResourceToResourceWithConstant(image, scratch, buffer, nullptr);
}

// The closing call of the camera's batch: the parts of the frame brighter
// than white glow, through four ever wider blurs added to the frame.
void CameraLightBloom::controlVideo(Render::RenderContext& context) {
    Media::RenderBuffer* frame = context.view.frameBuffer;
    if (!frame || !frame->texture || !resource) return;
    const double s = strength.getValue(context) / 100;
    const auto r = static_cast<int32_t>(std::round(diffusion.getValue(context)));
    if (s <= 0 || r <= 0) return;
    std::shared_ptr<Media::ResourceBuffer> light;
    {
        const std::unique_ptr<Media::ResourceBuffer> copy = frame->createResourceBuffer(true);
        light = FilterPasses::extractBright(*copy, 1.0f, 1.0f, 1.0f);
    }
    const auto k = static_cast<float>(r * s / 800);
    const float factor[4] = {k, k, k, k};
    const std::shared_ptr<Media::ResourceBuffer> scratch = FilterPasses::newImage(light->width, light->height);
    const std::vector<int32_t> steps = radii(r);
    blur(*light, *scratch, steps[0]);
    for (size_t i = 1; i < steps.size(); ++i) {
        blur(*light, *scratch, steps[i]);
        FilterPasses::shared(FilterPasses::kCopy)
            .drawResourceToRenderWithFactor(*frame, *light, factor, FilterPasses::blend(kAddByFactor));
    }
}

}  // namespace Effect
