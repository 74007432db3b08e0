#include "filters/LightFilter.h"

#include "effect/RenderContext.h"
#include "filters/FilterBase.h"
#include "filters/FilterPasses.h"
#include "media/gpu/PixelShader.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {
namespace {

// Shader order in the class resource.
enum : size_t { kTrailingAcross, kTrailingAlphaDown, kAcross, kAlphaDown, kInverseAlphaDown };
constexpr size_t kOver = 0;             // blend: premultiplied source over destination
constexpr size_t kAddWhereOpaque = 18;  // blend: source times target alpha added, alpha kept

}  // namespace

LightFilter::LightFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"光効果";
}

void LightFilter::createCommonResource() {
    auto made = ShaderResource::create(5, 32);
    FilterPasses::loadShaders(*made,
                              {"LightTrailingH", "LightTrailingAlphaV", "LightCentredH", "LightCentredAlphaV",
                               "LightCentredInverseAlphaV"},
                              "Effect::LightFilter::createCommonResource");
    resource = std::move(made);
}

std::shared_ptr<Media::ResourceBuffer> LightFilter::filterVideo(Render::RenderContext& context,
                                                                std::shared_ptr<Media::ResourceBuffer> image) {
    float outer = static_cast<float>(strength.getValue(context)) * 0.01f;
    const int32_t r = FilterValue::pixels(diffusion.getValue(context));
    const float q = FilterValue::percent(ratio.getValue(context));
    float inner = outer;
    if (q > 0)
        inner = (1.0f - q) * outer;
    else if (q < 0)
        outer *= 1.0f + q;
    Constant record{{color.red / 255.0f, color.green / 255.0f, color.blue / 255.0f, 1.0f}, r, 0.0f};
    const float n = static_cast<float>(2 * r + 1);
    auto& shaders = resource->shaders;
    auto pass = [&](size_t shader, float divive, Media::ResourceBuffer& target, Media::ResourceBuffer& source,
                    const Platform::gpu::BlendState* blendState) {
        record.divive = divive;
        Platform::gpu::Buffer* buffer = FilterPasses::upload(*resource, record);
        shaders[shader]->drawResourceToResourceWithConstant(target, source, buffer, blendState);
    };

    if (inner > 0) {  // added only where the object is opaque
        const bool back = backlight.value != 0;
        auto spread = FilterPasses::newImage(image->width, image->height);
        pass(back ? kInverseAlphaDown : kAlphaDown, 1.0f / n, *spread, *image, nullptr);
        // Lit on a copy: a source may hand the same image on frame after
        // frame, and light added into it would build up.
        std::shared_ptr<Media::ResourceBuffer> lit(image->clone());
        pass(kAcross, (back ? inner : inner * 0.5f) / n, *lit, *spread, FilterPasses::blend(kAddWhereOpaque));
        image = std::move(lit);
    }
    if (outer <= 0) return image;
    const uint32_t grow = 2u * static_cast<uint32_t>(r);
    auto down = FilterPasses::newImage(image->width, image->height + grow);
    pass(kTrailingAlphaDown, 1.0f / n, *down, *image, nullptr);
    auto glow = FilterPasses::newImage(image->width + grow, image->height + grow);
    pass(kTrailingAcross, outer / n, *glow, *down, nullptr);
    FilterPasses::shiftCopy(*glow, *image, -r, -r, FilterPasses::blend(kOver));
    return glow;
}

}  // namespace Effect
