#include "filters/AngleClipFilter.h"

#include <algorithm>
#include <cmath>

#include "effect/RenderContext.h"
#include "filters/FilterBase.h"
#include "filters/FilterPasses.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {
namespace {

constexpr size_t kNarrow = 0, kWide = 1;
constexpr size_t kMultiplyByAlpha = 7;

struct Constant {
    float offset[2];
    float directionS[2];
    float directionE[2];
    float directionL[2];
    float range;
    float limit;
    float padding[2];
};
static_assert(sizeof(Constant) == 48);

void setDirection(float (&d)[2], float degrees) {
    const float a = FilterValue::radians(degrees);
    d[0] = -std::sin(a);
    d[1] = std::cos(a);
}

}  // namespace

AngleClipFilter::AngleClipFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"クリッピング";
    positionItems = {&centerX, &centerY};
}

void AngleClipFilter::createCommonResource() {
    resource = ShaderResource::create(2, 48);
    FilterPasses::loadShaders(*resource, {"ClipSectorNarrow", "ClipSectorWide"},
                              "Effect::AngleClipFilter::CommonResource");
}

std::shared_ptr<Media::ResourceBuffer> AngleClipFilter::filterVideo(Render::RenderContext& context,
                                                                    std::shared_ptr<Media::ResourceBuffer> image) {
    if (!image) return image;
    image = FilterPasses::ownImage(std::move(image));
    clipSector(*image, static_cast<float>(baseAngle.getValue(context)),
               static_cast<float>(rangeAngle.getValue(context)), static_cast<float>(centerX.getValue(context)),
               static_cast<float>(centerY.getValue(context)), FilterValue::pixels(blur.getValue(context)),
               centered.value != 0);
    return image;
}

void AngleClipFilter::clipSector(Media::ResourceBuffer& image, float base, float range, float cx, float cy,
                                 int32_t blurPixels, bool centredOnBase) const {
    if (image.width == 0 || image.height == 0) return;
    if (centredOnBase) {
        if (range < 0) base += 180;
        base -= range / 2;
    }
    if (range < 0) {
        base += range;
        range = -range;
    }
    if (range <= 0) return;
    if (range >= 360) {
        FilterPasses::clear(image);
        return;
    }
    Constant c{};
    c.offset[0] = -(static_cast<float>(image.width) * 0.5f + cx);
    c.offset[1] = -(static_cast<float>(image.height) * 0.5f + cy);
    setDirection(c.directionS, base);
    setDirection(c.directionE, base + range + 180);
    setDirection(c.directionL, base + range / 2 - 90);
    c.range = static_cast<float>(blurPixels + 1) * 0.5f;
    c.limit = (std::max(90 - std::abs(range - 180), 0.0f) / 45 + std::sin(FilterValue::radians(range / 2)) * 0.5f + 1) *
              c.range;
    Platform::gpu::Buffer* constant = FilterPasses::upload(*resource, c);
    resource->shaders[range < 180 ? kNarrow : kWide]->drawToResourceWithConstant(image, constant,
                                                                                 FilterPasses::blend(kMultiplyByAlpha));
}

}  // namespace Effect
