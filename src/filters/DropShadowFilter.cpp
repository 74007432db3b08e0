#include "filters/DropShadowFilter.h"

#include <cstdlib>

#include "effect/RenderContext.h"
#include "filters/BokashiFilter.h"
#include "filters/FilterBase.h"
#include "filters/FilterPasses.h"
#include "media/gpu/ResourceBuffer.h"
#include "render/VideoPass.h"

namespace Effect {
namespace {

constexpr size_t kOver = 0;          // blend: premultiplied source over destination
constexpr size_t kTargetAlpha = 14;  // blend: source times the target's alpha

}  // namespace

DropShadowFilter::DropShadowFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"装飾";
}

std::shared_ptr<Media::ResourceBuffer> DropShadowFilter::filterVideo(Render::RenderContext& context,
                                                                     std::shared_ptr<Media::ResourceBuffer> image) {
    // The shadow: the shape in the shadow colour at the density.
    std::shared_ptr<Media::ResourceBuffer> shadow(image->clone());
    const float level = FilterValue::percent(density.getValue(context));
    const float tint[4] = {color.red / 255.0f * level, color.green / 255.0f * level, color.blue / 255.0f * level,
                           level};
    FilterPasses::fillColor(*shadow, tint, FilterPasses::blend(kTargetAlpha));
    const int32_t d = FilterValue::pixels(diffusion.getValue(context));
    if (d > 0) shadow = FilterPasses::blurPrototype().blurImage(std::move(shadow), d, 0.0f, 0);
    const int32_t dx = FilterValue::pixels(x.getValue(context)), dy = FilterValue::pixels(y.getValue(context));

    if (separate.value) {
        // Drawn into the frame before the object, as a drawing of its own.
        context.view.x += static_cast<float>(dx);
        context.view.y += static_cast<float>(dy);
        Render::VideoPass::outputVideo(context, shadow);
        context.view.x -= static_cast<float>(dx);
        context.view.y -= static_cast<float>(dy);
        return image;
    }

    auto result = FilterPasses::newImage(static_cast<uint32_t>(std::abs(dx)) + shadow->width,
                                         static_cast<uint32_t>(std::abs(dy)) + shadow->height);
    const int32_t ox = dx < 0 ? 0 : -dx, oy = dy < 0 ? 0 : -dy;
    FilterPasses::shiftCopy(*result, *shadow, ox, oy, nullptr);
    FilterPasses::shiftCopy(*result, *image, ox + dx - d, oy + dy - d, FilterPasses::blend(kOver));
    // The object stays where it was while the image grows toward the shadow.
    context.view.centerX -= static_cast<float>(dx) * 0.5f;
    context.view.centerY -= static_cast<float>(dy) * 0.5f;
    return result;
}

}  // namespace Effect
