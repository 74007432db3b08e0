#include "filters/DisplacementFilter.h"

#include <algorithm>
#include <cmath>

#include "edit/UpdateSection.h"
#include "effect/RenderContext.h"
#include "filters/BokashiFilter.h"
#include "filters/FilterBase.h"
#include "filters/FilterPasses.h"
#include "filters/OptionList.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {

DisplacementFilter::DisplacementFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    method.notify = 1;
    menuGroup = L"変形";
    positionItems = {&x, &y};
}

void DisplacementFilter::createCommonResource() {
    auto made = ShaderResource::create(2, 48);
    FilterPasses::loadShaders(*made, {"DisplacementMove", "DisplacementRotate"},
                              "Effect::DisplacementFilter::createCommonResource");
    resource = std::move(made);
}

void DisplacementFilter::preInputVideo(Render::RenderContext& context) { map.preloadMaskImage(context); }

namespace {

enum Method : int32_t { kMove = 0, kScale = 1, kRotate = 2 };

// A scale strength as the move-and-scale pass takes it: the pixel at q is
// read from q x (1 + len / 2), so g > 0 enlarges by g + 1 and g < 0 shrinks.
float scaleLength(double g) { return float(g > 0 ? 2 / (g + 1) - 2 : -2 * g); }

}  // namespace

std::shared_ptr<Media::ResourceBuffer> DisplacementFilter::filterVideo(Render::RenderContext& context,
                                                                       std::shared_ptr<Media::ResourceBuffer> image) {
    const int32_t s = FilterValue::pixels(size.getValue(context));
    const double a = aspect.getValue(context) * 0.01;
    const bool fitted = fitSize.value != 0;
    if (s <= 0 || (!fitted && (a <= -1 || a >= 1))) return image;
    auto picture = map.getMaskImage(context, uint32_t(s), uint32_t(s));
    if (!picture || picture->width == 0 || picture->height == 0) return image;
    const double v = double(s) / double(std::max(picture->width, picture->height));
    const int32_t blurSize = FilterValue::pixels(blur.getValue(context));
    if (blurSize > 0) picture = FilterPasses::blurPrototype().blurImage(std::move(picture), blurSize, 0, 0);

    double mapWidth = image->width, mapHeight = image->height;
    if (!fitted) {
        mapWidth = picture->width * v;
        mapHeight = picture->height * v;
        if (a > 0) mapWidth *= 1 - a;
        if (a < 0) mapHeight *= 1 + a;
    }
    struct Constant {
        float offset[2], len[2], inverseMaskSize[2];
        float angleS, angleC;
        int32_t type;
        float pad[3];
    } constant{};
    static_assert(sizeof(Constant) == 48);
    const int32_t m = method.index;
    const float turn = FilterValue::radians(angle.getValue(context));
    constant.type = m;
    constant.offset[0] = float(-double(image->width) / 2 - x.getValue(context));
    constant.offset[1] = float(-double(image->height) / 2 - y.getValue(context));
    constant.inverseMaskSize[0] = float(1 / mapWidth);
    constant.inverseMaskSize[1] = float(1 / mapHeight);
    constant.angleS = std::sin(turn);
    constant.angleC = std::cos(turn);
    if (m == kMove) {
        constant.len[0] = float(moveX.getValue(context) * 2);
        constant.len[1] = float(moveY.getValue(context) * 2);
    } else if (m == kScale) {
        const double g = zoom.getValue(context) * 0.01, ga = zoomAspect.getValue(context) * 0.01;
        constant.len[0] = scaleLength(ga > 0 ? g * (1 - ga) : g);
        constant.len[1] = scaleLength(ga < 0 ? g * (1 + ga) : g);
    } else {
        constant.len[0] = float(rotation.getValue(context) * 0.01 * -4 * 3.141592653589793);
    }

    Platform::gpu::Buffer* buffer = FilterPasses::upload(*resource, constant);
    FilterPasses::bindSampler(0);
    FilterPasses::device().setConstantBuffer(Platform::gpu::ShaderStage::Pixel, 0, buffer);
    auto target = FilterPasses::newImage(image->width, image->height);
    resource->shaders[m == kRotate ? 1 : 0]->drawTwoResourcesToResource(*target, *image, *picture, nullptr);
    return target;
}

bool DisplacementFilter::itemEvent(const ItemEvent& event) {
    if (event.kind == ItemEvent::kItemChanged && event.scope) {
        event.scope->effectsChanged = true;
        event.scope->timeSettingChanged = true;
        event.scope->colorSettingChanged = true;
        event.scope->textSettingChanged = true;
    }
    return false;
}

void DisplacementFilter::updateItemState() {
    const int32_t m = method.index;
    moveX.shown = moveY.shown = m == kMove;
    zoom.shown = zoomAspect.shown = m == kScale;
    rotation.shown = m == kRotate;
}

// How the map moves the pixels.
std::shared_ptr<const EffectItemSelect::SharedList> DisplacementFilter::methodList() {
    static const auto list = makeOptionList({{0, L"移動変形"}, {1, L"拡大変形"}, {2, L"回転変形"}});
    return list;
}

}  // namespace Effect
