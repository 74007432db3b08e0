#include "filters/BevelFilter.h"

#include <algorithm>
#include <cmath>

#include "effect/RenderContext.h"
#include "filters/FilterBase.h"
#include "filters/FilterPasses.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {

BevelFilter::BevelFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"装飾";
}

void BevelFilter::createCommonResource() {
    auto made = ShaderResource::create(1, 16);
    FilterPasses::loadShaders(*made, {"Bevel"}, "Effect::BevelFilter::createCommonResource");
    resource = std::move(made);
}

std::shared_ptr<Media::ResourceBuffer> BevelFilter::filterVideo(Render::RenderContext& context,
                                                                std::shared_ptr<Media::ResourceBuffer> image) {
    const float theta = FilterValue::radians(angle.getValue(context));
    const int32_t samples = std::min({FilterValue::pixels(width.getValue(context)),
                                      static_cast<int32_t>(image->width / 2), static_cast<int32_t>(image->height / 2)});
    if (samples <= 0) return image;
    const Constant record{{std::sin(-theta), std::cos(-theta)},
                          static_cast<float>(height.getValue(context)) * 0.5f / static_cast<float>(samples),
                          samples};
    Platform::gpu::Buffer* buffer = FilterPasses::upload(*resource, record);
    auto target = FilterPasses::newImage(image->width, image->height);
    resource->shaders[0]->drawResourceToResourceWithConstant(*target, *image, buffer, nullptr);
    return target;
}

}  // namespace Effect
