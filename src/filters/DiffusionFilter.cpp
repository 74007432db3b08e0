#include "filters/DiffusionFilter.h"

#include "effect/RenderContext.h"
#include "filters/BokashiFilter.h"
#include "filters/FilterBase.h"
#include "filters/FilterPasses.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {
namespace {

constexpr size_t kOver = 0;  // blend: premultiplied source over destination

}  // namespace

DiffusionFilter::DiffusionFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"光効果";
}

void DiffusionFilter::createCommonResource() {
    auto made = ShaderResource::create(1, 0);
    FilterPasses::loadShaders(*made, {"DiffusionHaze"}, "Effect::DiffusionFilter::createCommonResource");
    resource = std::move(made);
}

std::shared_ptr<Media::ResourceBuffer> DiffusionFilter::filterVideo(Render::RenderContext& context,
                                                                    std::shared_ptr<Media::ResourceBuffer> image) {
    const int32_t d = FilterValue::pixels(diffusion.getValue(context));
    auto haze = FilterPasses::blurPrototype().blurImage(std::shared_ptr<Media::ResourceBuffer>(image->clone()), d, 0.0f,
                                                        fixedSize.value ? 1 : 0);
    const int32_t iw = static_cast<int32_t>(image->width), ih = static_cast<int32_t>(image->height);
    const int32_t hw = static_cast<int32_t>(haze->width), hh = static_cast<int32_t>(haze->height);
    std::shared_ptr<Media::ResourceBuffer> result(
        image->createExpanded(haze->width, haze->height, (hw - iw) >> 1, (hh - ih) >> 1));
    struct {
        int32_t offset[2];
        float level;
    } record{{(iw - hw) / 2, (ih - hh) / 2}, FilterValue::percent(strength.getValue(context))};
    Platform::gpu::Buffer* buffer = FilterPasses::uploadShared(record);
    FilterPasses::device().setConstantBuffer(Platform::gpu::ShaderStage::Pixel, 0, buffer);
    resource->shaders[0]->drawTwoResourcesToResource(*result, *haze, *image, FilterPasses::blend(kOver));
    return result;
}

}  // namespace Effect
