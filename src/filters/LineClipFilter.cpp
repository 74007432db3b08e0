#include "filters/LineClipFilter.h"

#include <cmath>

#include "effect/RenderContext.h"
#include "filters/FilterBase.h"
#include "filters/FilterPasses.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {
namespace {

constexpr size_t kHalfPlane = 0, kBand = 1;
constexpr size_t kMultiplyByAlpha = 7;

struct Constant {
    float offset[2];
    float direction[2];
    float length;
    float range;
    float padding[2];
};
static_assert(sizeof(Constant) == 32);

}  // namespace

LineClipFilter::LineClipFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"クリッピング";
    positionItems = {&centerX, &centerY};
}

void LineClipFilter::createCommonResource() {
    resource = ShaderResource::create(2, 32);
    FilterPasses::loadShaders(*resource, {"ClipHalfPlane", "ClipBand"}, "Effect::LineClipFilter::CommonResource");
}

std::shared_ptr<Media::ResourceBuffer> LineClipFilter::filterVideo(Render::RenderContext& context,
                                                                   std::shared_ptr<Media::ResourceBuffer> image) {
    if (!image) return image;
    image = FilterPasses::ownImage(std::move(image));
    clipLine(*image, static_cast<float>(angle.getValue(context)), FilterValue::pixels(width.getValue(context)),
             static_cast<float>(centerX.getValue(context)), static_cast<float>(centerY.getValue(context)),
             FilterValue::pixels(blur.getValue(context)));
    return image;
}

void LineClipFilter::clipLine(Media::ResourceBuffer& image, float angleDegrees, int32_t bandWidth, float cx, float cy,
                              int32_t blurPixels) const {
    if (image.width == 0 || image.height == 0) return;
    const float a = FilterValue::radians(angleDegrees);
    Constant c{};
    c.offset[0] = -(static_cast<float>(image.width) * 0.5f + cx);
    c.offset[1] = -(static_cast<float>(image.height) * 0.5f + cy);
    c.direction[0] = std::sin(a);
    c.direction[1] = -std::cos(a);
    c.length = static_cast<float>(blurPixels + 1);
    c.range = static_cast<float>(bandWidth) * 0.5f;
    Platform::gpu::Buffer* constant = FilterPasses::upload(*resource, c);
    resource->shaders[bandWidth == 0 ? kHalfPlane : kBand]->drawToResourceWithConstant(image, constant,
                                                                                       FilterPasses::blend(
                                                                                           kMultiplyByAlpha));
}

}  // namespace Effect
