#include "filters/BokehFilter.h"

#include "effect/EffectItemFigureSelect.h"
#include "filters/FilterBase.h"
#include "filters/FilterPasses.h"
#include "filters/OptionList.h"
#include "media/figure/FigureList.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"
#include "effect/RenderContext.h"

namespace Effect {

BokehFilter::BokehFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"ぼかし";
}

namespace {

enum : size_t { kDirect, kClamped, kSampled };
constexpr size_t kLinearBorder = 0;  // samplers: transparent outside
constexpr size_t kLinearClamp = 1;   // edges repeated

}  // namespace

void BokehFilter::createCommonResource() {
    auto made = ShaderResource::create(3, 32);
    FilterPasses::loadShaders(*made, {"LensDirect", "LensClamped", "LensSampled"},
                              "Effect::BokehFilter::createCommonResource");
    resource = std::move(made);
}

std::shared_ptr<Media::ResourceBuffer> BokehFilter::filterVideo(Render::RenderContext& context,
                                                                std::shared_ptr<Media::ResourceBuffer> image) {
    const float base = 1.0f + 0.15f * static_cast<float>(light.getValue(context));
    auto lit = FilterPasses::toLightSpace(*image, base);
    lit = lensBlur(std::move(lit), shape.index, FilterValue::pixels(range.getValue(context)), fixedSize.value != 0);
    return FilterPasses::fromLightSpace(*lit, base);
}

std::shared_ptr<Media::ResourceBuffer> BokehFilter::lensBlur(std::shared_ptr<Media::ResourceBuffer> image,
                                                             int32_t figure, int32_t r, bool keepSize) const {
    if (r <= 0) return image;
    const Resource::ResourceService* resources = Resource::ResourceService::get();
    if (!resources || !resources->figures) return image;
    const uint32_t grow = keepSize ? 0u : 2u * static_cast<uint32_t>(r);
    const int32_t d = 2 * r + 1;
    const float sw = static_cast<float>(image->width), sh = static_cast<float>(image->height);
    const float tw = sw + static_cast<float>(grow), th = sh + static_cast<float>(grow);
    Constant record{};
    std::shared_ptr<Media::ResourceBuffer> source = image;
    std::unique_ptr<Media::ResourceBuffer> mask;
    size_t kind = keepSize ? kClamped : kDirect;
    if (d <= kDirectTaps) {
        mask = resources->figures->createMask(figure, static_cast<uint32_t>(d), static_cast<uint32_t>(d));
        record.offset[0] = (sw - tw - static_cast<float>(d)) * 0.5f;
        record.offset[1] = (sh - th + static_cast<float>(d)) * 0.5f;
        record.sampleNum = d;
    } else {
        const int32_t t = d / kDirectTaps + 1, n = (t + d) / t;
        mask = resources->figures->createMask(figure, static_cast<uint32_t>(n), static_cast<uint32_t>(n));
        const float a = 1.0f / sw, b = 1.0f / sh, ox = (sw - tw) * 0.5f, oy = (sh - th) * 0.5f;
        const float span = static_cast<float>(t);
        record.offset[0] = a * ox - static_cast<float>(n - 1) * span * a * 0.5f;
        record.offset[1] = static_cast<float>(n + 1) * span * b * 0.5f + b * oy;
        record.step[0] = span * a;
        record.step[1] = span * b;
        record.ratio[0] = a;
        record.ratio[1] = b;
        record.sampleNum = n;
        kind = kSampled;
        if (mask) source = FilterPasses::shrink(*image, t);
    }
    if (!mask) return image;  // no such figure: nothing to weigh with
    Platform::gpu::Buffer* buffer = FilterPasses::upload(*resource, record);
    FilterPasses::device().setConstantBuffer(Platform::gpu::ShaderStage::Pixel, 0, buffer);
    if (kind == kSampled) FilterPasses::bindSampler(keepSize ? kLinearClamp : kLinearBorder);
    auto target = FilterPasses::newImage(image->width + grow, image->height + grow);
    resource->shaders[kind]->drawTwoResourcesToResource(*target, *source, *mask, nullptr);
    return target;
}

std::shared_ptr<Media::ResourceBuffer> BokehFilter::shrinkImage(std::shared_ptr<Media::ResourceBuffer> image,
                                                                int32_t factor) {
    return FilterPasses::shrink(*image, factor);
}

// The figure list: the built-in figures, then the figure files.
std::shared_ptr<const EffectItemSelect::SharedList> BokehFilter::figureList() {
    return borrowOptionList(EffectItemFigureSelect::getFigureList());
}

}  // namespace Effect
