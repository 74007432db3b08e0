#include "filters/NoiseReductionFilter.h"

#include "effect/RenderContext.h"
#include "filters/FilterBase.h"
#include "filters/FilterPasses.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {

NoiseReductionFilter::NoiseReductionFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"加工";
}

void NoiseReductionFilter::createCommonResource() {
    auto made = ShaderResource::create(1, 0);
    FilterPasses::loadShaders(*made, {"NoiseReduction"}, "Effect::NoiseReductionFilter::createCommonResource");
    resource = std::move(made);
}

std::shared_ptr<Media::ResourceBuffer> NoiseReductionFilter::filterVideo(Render::RenderContext& context,
                                                                         std::shared_ptr<Media::ResourceBuffer> image) {
    const int32_t r = FilterValue::pixels(range.getValue(context));
    const float window = static_cast<float>((2 * r + 1) * (2 * r + 1));
    struct {
        int32_t range;
        float level;
        float limit;
    } record{r, FilterValue::percent(strength.getValue(context)) / window,
             static_cast<float>(threshold.getValue(context)) * (1.0f / 512.0f)};
    Platform::gpu::Buffer* buffer = FilterPasses::uploadShared(record);
    auto target = FilterPasses::newImage(image->width, image->height);
    resource->shaders[0]->drawResourceToResourceWithConstant(*target, *image, buffer, nullptr);
    return target;
}

}  // namespace Effect
