#include "filters/MaskFilter.h"

#include <algorithm>
#include <cmath>

#include "effect/RenderContext.h"
#include "filters/BokashiFilter.h"
#include "filters/FilterBase.h"
#include "filters/FilterPasses.h"
#include "effect/EffectService.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {
namespace {

constexpr size_t kBorderSampler = 0;
constexpr size_t kKeepWhereOpaque = 7, kCutWhereOpaque = 8;

struct Constant {
    float offset[2];
    float inverseMaskSize[2];
    float angleS;
    float angleC;
    float padding[2];
};
static_assert(sizeof(Constant) == 32);

}  // namespace

MaskFilter::MaskFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"クリッピング";
    positionItems = {&x, &y};
}

void MaskFilter::createCommonResource() {
    resource = ShaderResource::create(1, 32);
    FilterPasses::loadShaders(*resource, {"MaskPlace"}, "Effect::MaskFilter::CommonResource");
}

void MaskFilter::preInputVideo(Render::RenderContext& context) { mask.preloadMaskImage(context); }

std::shared_ptr<Media::ResourceBuffer> MaskFilter::filterVideo(Render::RenderContext& context,
                                                               std::shared_ptr<Media::ResourceBuffer> image) {
    if (!image || image->width == 0 || image->height == 0) return image;
    const float turn = FilterValue::radians(angle.getValue(context));
    const int32_t s = FilterValue::pixels(size.getValue(context));
    const float a = FilterValue::percent(aspect.getValue(context));
    const bool inverted = invert.value != 0, fitted = fitSize.value != 0;
    if (s <= 0 || (!fitted && (a <= -1 || a >= 1))) {
        // No visible mask area.
        if (inverted) return image;
        image = FilterPasses::ownImage(std::move(image));
        FilterPasses::clear(*image);
        return image;
    }
    auto picture = mask.getMaskImage(context, uint32_t(s), uint32_t(s));
    if (!picture || picture->width == 0 || picture->height == 0) return image;
    const float v = static_cast<float>(s) / static_cast<float>(std::max(picture->width, picture->height));
    const int32_t blurSize = FilterValue::pixels(blur.getValue(context));
    if (blurSize > 0) {
        // Grown by the blur, so the soft edge is not cut off.
        if (const EffectService* effects = EffectService::get())
            picture = effects->getDefaultEffect<BokashiFilter>().blurImage(std::move(picture), blurSize, 0, 0);
    }
    float maskWidth, maskHeight;
    if (fitted) {
        maskWidth = static_cast<float>(image->width);
        maskHeight = static_cast<float>(image->height);
    } else {
        maskWidth = static_cast<float>(picture->width) * v;
        maskHeight = static_cast<float>(picture->height) * v;
        if (a > 0) maskWidth *= 1 - a;
        if (a < 0) maskHeight *= 1 + a;
    }
    image = FilterPasses::ownImage(std::move(image));
    Constant c{};
    c.offset[0] = -static_cast<float>(image->width) / 2 - static_cast<float>(x.getValue(context));
    c.offset[1] = -static_cast<float>(image->height) / 2 - static_cast<float>(y.getValue(context));
    c.inverseMaskSize[0] = 1 / maskWidth;
    c.inverseMaskSize[1] = 1 / maskHeight;
    c.angleS = std::sin(turn);
    c.angleC = std::cos(turn);
    Platform::gpu::Buffer* constant = FilterPasses::upload(*resource, c);
    FilterPasses::bindSampler(kBorderSampler);
    resource->shaders[0]->drawResourceToResourceWithConstant(*image, *picture, constant,
                                                             FilterPasses::blend(inverted ? kCutWhereOpaque
                                                                                          : kKeepWhereOpaque));
    return image;
}

}  // namespace Effect
