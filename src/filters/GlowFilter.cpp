#include "filters/GlowFilter.h"

#include <algorithm>
#include <cmath>

#include "effect/RenderContext.h"
#include "filters/BokashiFilter.h"
#include "filters/FilterBase.h"
#include "filters/FilterPasses.h"
#include "filters/OptionList.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {

GlowFilter::GlowFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"光効果";
}

namespace {

constexpr size_t kAddOver = 11;   // blend: colours added, alpha over
constexpr size_t kAddUnder = 12;  // blend: colours added, alpha under
constexpr size_t kTargetAlpha = 14;

}  // namespace

void GlowFilter::createCommonResource() {
    auto made = ShaderResource::create(1, 32);
    FilterPasses::loadShaders(*made, {"GlowStreak"}, "Effect::GlowFilter::createCommonResource");
    resource = std::move(made);
}

std::shared_ptr<Media::ResourceBuffer> GlowFilter::filterVideo(Render::RenderContext& context,
                                                               std::shared_ptr<Media::ResourceBuffer> image) {
    const int32_t form = shape.index;
    float gain = static_cast<float>(strength.getValue(context)) * 0.01f * 32.0f;
    if (form == 0) gain *= 4.0f;
    auto light = FilterPasses::extractBright(*image, FilterValue::percent(threshold.getValue(context)), gain, gain);
    if (!color.unset) {
        const float tint[4] = {color.red / 255.0f, color.green / 255.0f, color.blue / 255.0f, 1.0f};
        FilterPasses::fillColor(*light, tint, FilterPasses::blend(kTargetAlpha));
    }

    const int32_t d = FilterValue::pixels(diffusion.getValue(context));
    const uint32_t grow = fixedSize.value ? 0u : 2u * static_cast<uint32_t>(std::max(d, 0));
    std::shared_ptr<Media::ResourceBuffer> glow = FilterPasses::clearedImage(image->width + grow, image->height + grow);
    const float f = static_cast<float>(d), h = FilterValue::percent(ratio.getValue(context)), i = h * f;
    const float a = static_cast<float>(angle.getValue(context));
    Media::ResourceBuffer& g = *glow;
    switch (form) {
    case 1:
        drawStreak(g, *light, f, 1, a);
        drawStreak(g, *light, i, 1, a + 90);
        break;
    case 2:
        for (float turn : {0.0f, 120.0f, -120.0f}) drawStreak(g, *light, f, h, a + turn);
        break;
    case 3:
        drawStreak(g, *light, f, 1, a);
        drawStreak(g, *light, i, 1, a + 45);
        drawStreak(g, *light, f, 1, a + 90);
        drawStreak(g, *light, i, 1, a - 45);
        break;
    case 4:
        for (float turn : {0.0f, 72.0f, 144.0f, 216.0f, 288.0f}) drawStreak(g, *light, f, h, a + turn);
        break;
    case 5:
        for (int k = 0; k < 6; ++k) drawStreak(g, *light, k % 2 == 0 ? f : i, 1, a + 30.0f * static_cast<float>(k));
        break;
    case 6: drawStreak(g, *light, i, 1, a + 90); break;
    default: {  // a soft halo of two blurs
        const BokashiFilter& blurs = FilterPasses::blurPrototype();
        auto near = blurs.blurImage(std::move(light), d / 2, 0.0f, 0);
        addCentred(g, *near);
        auto far = blurs.expandBlur(std::move(near), d - d / 2);
        addCentred(g, *far);
        break;
    }
    }

    const int32_t soften = FilterValue::pixels(blur.getValue(context));
    if (soften > 0) glow = FilterPasses::blurPrototype().expandBlur(std::move(glow), soften);
    if (lightOnly.value) return glow;
    const int32_t ox = (static_cast<int32_t>(image->width) - static_cast<int32_t>(glow->width)) / 2;
    const int32_t oy = (static_cast<int32_t>(image->height) - static_cast<int32_t>(glow->height)) / 2;
    FilterPasses::shiftCopy(*glow, *image, ox, oy, FilterPasses::blend(kAddUnder));
    return glow;
}

void GlowFilter::drawStreak(Media::ResourceBuffer& target, Media::ResourceBuffer& source, float length, float ratio,
                            float angle) const {
    if (length <= 0) return;
    const float theta = angle * 0.017453292f;
    const double reach = std::hypot(static_cast<double>(source.width), static_cast<double>(source.height));
    const int32_t n = std::max(5, static_cast<int32_t>(std::ceil(std::min(reach, static_cast<double>(length)))));
    const float count = static_cast<float>(n);
    const Constant record{{(static_cast<float>(source.width) - static_cast<float>(target.width)) * 0.5f,
                           (static_cast<float>(source.height) - static_cast<float>(target.height)) * 0.5f},
                          {-std::sin(theta) * length / count, std::cos(theta) * length / count},
                          ratio,
                          n};
    Platform::gpu::Buffer* buffer = FilterPasses::upload(*resource, record);
    resource->shaders[0]->drawResourceToResourceWithConstant(target, source, buffer, FilterPasses::blend(kAddOver));
}

void GlowFilter::addCentred(Media::ResourceBuffer& target, Media::ResourceBuffer& source) {
    FilterPasses::shiftCopy(target, source,
                            (static_cast<int32_t>(source.width) - static_cast<int32_t>(target.width)) / 2,
                            (static_cast<int32_t>(source.height) - static_cast<int32_t>(target.height)) / 2,
                            FilterPasses::blend(kAddOver));
}

// The glow shapes.
std::shared_ptr<const EffectItemSelect::SharedList> GlowFilter::shapeList() {
    static const auto list = makeOptionList({{0, L"通常"},
                                             {1, L"クロス(4本)"},
                                             {2, L"クロス(6本)"},
                                             {3, L"クロス(8本)"},
                                             {4, L"クロス(10本)"},
                                             {5, L"クロス(12本)"},
                                             {6, L"ライン"}});
    return list;
}

}  // namespace Effect
