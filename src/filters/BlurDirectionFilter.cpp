#include "filters/BlurDirectionFilter.h"

#include <algorithm>
#include <cmath>

#include "effect/RenderContext.h"
#include "filters/FilterPasses.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {

BlurDirectionFilter::BlurDirectionFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"ぼかし";
}

void BlurDirectionFilter::createCommonResource() {
    auto made = ShaderResource::create(1, 32);
    FilterPasses::loadShaders(*made, {"DirectionBlur"}, "Effect::BlurDirectionFilter::createCommonResource");
    resource = std::move(made);
}

std::shared_ptr<Media::ResourceBuffer> BlurDirectionFilter::filterVideo(Render::RenderContext& context,
                                                                        std::shared_ptr<Media::ResourceBuffer> image) {
    return directionBlur(std::move(image), static_cast<float>(range.getValue(context)),
                         static_cast<float>(angle.getValue(context)), 1.0f, fixedSize.value != 0);
}

std::shared_ptr<Media::ResourceBuffer> BlurDirectionFilter::directionBlur(std::shared_ptr<Media::ResourceBuffer> image,
                                                                          float length, float angle, float stepRatio,
                                                                          bool keepSize) const {
    if (length <= 0) return std::shared_ptr<Media::ResourceBuffer>(image->clone());
    const float theta = angle * 0.017453292f;
    const float dx = -std::sin(theta) * length, dy = std::cos(theta) * length;
    const uint32_t w = image->width, h = image->height;
    uint32_t tw = w, th = h;
    if (!keepSize) {
        tw += 2 * static_cast<uint32_t>(std::ceil(std::abs(dx)));
        th += 2 * static_cast<uint32_t>(std::ceil(std::abs(dy)));
    }
    auto target = FilterPasses::newImage(tw, th);
    const double reach = std::hypot(static_cast<double>(w), static_cast<double>(h));
    const int32_t n = std::max(5, static_cast<int32_t>(std::ceil(std::min(static_cast<double>(length), reach))));
    const Constant record{{(static_cast<float>(w) - static_cast<float>(target->width)) * 0.5f,
                           (static_cast<float>(h) - static_cast<float>(target->height)) * 0.5f},
                          {dx / static_cast<float>(n), dy / static_cast<float>(n)},
                          stepRatio,
                          n};
    Platform::gpu::Buffer* buffer = FilterPasses::upload(*resource, record);
    resource->shaders[0]->drawResourceToResourceWithConstant(*target, *image, buffer, nullptr);
    return target;
}

}  // namespace Effect
