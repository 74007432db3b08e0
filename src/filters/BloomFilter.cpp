#include "filters/BloomFilter.h"

#include "effect/RenderContext.h"
#include "filters/BokashiFilter.h"
#include "filters/FilterBase.h"
#include "filters/FilterPasses.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {
namespace {

constexpr size_t kAddOver = 11;  // blend: colours added, alpha over
constexpr size_t kTargetAlpha = 14;

}  // namespace

BloomFilter::BloomFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"光効果";
}

std::shared_ptr<Media::ResourceBuffer> BloomFilter::filterVideo(Render::RenderContext& context,
                                                                std::shared_ptr<Media::ResourceBuffer> image) {
    float e = static_cast<float>(strength.getValue(context)) * 0.01f;
    if (e > 1.0f) e += 2.0f * (e - 1.0f);
    const float gain = e * 1.25f;
    auto light = FilterPasses::extractBright(*image, FilterValue::percent(threshold.getValue(context)), gain, gain);
    if (!color.unset) {
        const float tint[4] = {color.red / 255.0f, color.green / 255.0f, color.blue / 255.0f, 1.0f};
        FilterPasses::fillColor(*light, tint, FilterPasses::blend(kTargetAlpha));
    }

    const int32_t d = FilterValue::pixels(diffusion.getValue(context));
    const bool keep = fixedSize.value != 0;
    const uint32_t grow = keep ? 0u : 2u * static_cast<uint32_t>(d);
    std::shared_ptr<Media::ResourceBuffer> result(
        keep ? image->clone() : image->createExpanded(image->width + grow, image->height + grow, d, d));
    // Four layers, each radius (speed + 50) % of the one before.
    const int32_t mode = keep ? 1 : 0, speed = FilterValue::pixels(diffusionSpeed.getValue(context));
    int32_t radius = d;
    for (int layer = 0; layer < 3; ++layer) {
        addBlurred(*result, std::shared_ptr<Media::ResourceBuffer>(light->clone()), radius, mode);
        radius = (speed + 50) * radius / 100;
    }
    addBlurred(*result, std::move(light), radius, mode);
    return result;
}

void BloomFilter::addBlurred(Media::ResourceBuffer& target, std::shared_ptr<Media::ResourceBuffer> layer,
                             int32_t radius, int32_t mode) {
    layer = FilterPasses::blurPrototype().blurImage(std::move(layer), radius, 0.0f, mode);
    if (layer->width == target.width && layer->height == target.height) {
        FilterPasses::shared(FilterPasses::kCopy).drawResourceToResource(target, *layer, FilterPasses::blend(kAddOver));
        return;
    }
    FilterPasses::shiftCopy(target, *layer,
                            (static_cast<int32_t>(layer->width) - static_cast<int32_t>(target.width)) / 2,
                            (static_cast<int32_t>(layer->height) - static_cast<int32_t>(target.height)) / 2,
                            FilterPasses::blend(kAddOver));
}

}  // namespace Effect
