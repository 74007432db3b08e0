#include "filters/BorderFilter.h"

#include "effect/RenderContext.h"
#include "filters/FilterBase.h"
#include "filters/FilterPasses.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {
namespace {

enum : size_t { kDirect, kSampled };
constexpr size_t kLinearBorder = 0;  // sampler: linear filtering, transparent border
constexpr size_t kOver = 0;          // blend: premultiplied source over destination

float limitOf(int32_t taps, int32_t blur) {
    const float root = static_cast<float>(taps * blur / 100 + 1);
    return root * root;
}

}  // namespace

BorderFilter::BorderFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"装飾";
}

void BorderFilter::createCommonResource() {
    auto made = ShaderResource::create(2, 64);
    FilterPasses::loadShaders(*made, {"OutlineDirect", "OutlineSampled"}, "Effect::BorderFilter::createCommonResource");
    resource = std::move(made);
}

std::shared_ptr<Media::ResourceBuffer> BorderFilter::filterVideo(Render::RenderContext& context,
                                                                 std::shared_ptr<Media::ResourceBuffer> image) {
    const int32_t s = FilterValue::pixels(size.getValue(context));
    if (s <= 0) return image;
    const int32_t b = FilterValue::pixels(blur.getValue(context));
    const float outline[4] = {color.red / 255.0f, color.green / 255.0f, color.blue / 255.0f, 1.0f};
    auto target = drawOutline(*image, s, b, outline);
    FilterPasses::shiftCopy(*target, *image, -s, -s, FilterPasses::blend(kOver));
    return target;
}

std::shared_ptr<Media::ResourceBuffer> BorderFilter::drawOutline(Media::ResourceBuffer& image, int32_t s, int32_t b,
                                                                 const float outline[4]) const {
    auto target =
        FilterPasses::newImage(image.width + 2 * static_cast<uint32_t>(s), image.height + 2 * static_cast<uint32_t>(s));
    Constant record{};
    for (int i = 0; i < 4; ++i) record.color[i] = outline[i];
    if (s <= kDirectLimit) {
        record.offset[0] = record.offset[1] = static_cast<float>(-s);
        record.range = s;
        record.inverseRange = 1.0f / static_cast<float>(s);
        record.limit = limitOf(s, b);
        Platform::gpu::Buffer* buffer = FilterPasses::upload(*resource, record);
        resource->shaders[kDirect]->drawResourceToResourceWithConstant(*target, image, buffer, nullptr);
        return target;
    }
    const int32_t t = s / kDirectLimit + 1, n = (s + t) / t;
    const float a = 1.0f / static_cast<float>(image.width), c = 1.0f / static_cast<float>(image.height);
    const float span = static_cast<float>((t - 1) * 2 + s);
    record.step[0] = span * a / static_cast<float>(n);
    record.step[1] = span * c / static_cast<float>(n);
    record.offset[0] = a * static_cast<float>(-s) - static_cast<float>(n) * record.step[0];
    record.offset[1] = c * static_cast<float>(-s) - static_cast<float>(n) * record.step[1];
    record.ratio[0] = a;
    record.ratio[1] = c;
    record.range = n;
    record.inverseRange = 1.0f / static_cast<float>(n);
    record.limit = limitOf(n, b);
    auto reduced = FilterPasses::shrink(image, t);
    Platform::gpu::Buffer* buffer = FilterPasses::upload(*resource, record);
    FilterPasses::bindSampler(kLinearBorder);
    resource->shaders[kSampled]->drawResourceToResourceWithConstant(*target, *reduced, buffer, nullptr);
    return target;
}

std::shared_ptr<Media::ResourceBuffer> BorderFilter::shrinkImage(std::shared_ptr<Media::ResourceBuffer> image,
                                                                 int32_t factor) {
    return FilterPasses::shrink(*image, factor);
}

}  // namespace Effect
