#include "filters/ClipFilter.h"

#include "effect/RenderContext.h"
#include "filters/FilterBase.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {

ClipFilter::ClipFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"クリッピング";
}

std::shared_ptr<Media::ResourceBuffer> ClipFilter::filterVideo(Render::RenderContext& context,
                                                               std::shared_ptr<Media::ResourceBuffer> image) {
    const int32_t t = FilterValue::pixels(top.getValue(context));
    const int32_t b = FilterValue::pixels(bottom.getValue(context));
    const int32_t l = FilterValue::pixels(left.getValue(context));
    const int32_t r = FilterValue::pixels(right.getValue(context));
    if (!image || (t == 0 && b == 0 && l == 0 && r == 0)) return image;
    const int64_t width = int64_t(image->width) - l - r;
    const int64_t height = int64_t(image->height) - t - b;
    if (width < 1 || height < 1) return nullptr;  // nothing left: the object is not drawn
    auto cropped = std::make_shared<Media::ResourceBuffer>(uint32_t(width), uint32_t(height));
    cropped->copyRegion(*image, uint32_t(l), uint32_t(t), uint32_t(width), uint32_t(height));
    if (!moveCenter.value) {
        // The remaining part stays where it was on screen.
        context.view.centerX -= static_cast<float>(l - r) * 0.5f;
        context.view.centerY -= static_cast<float>(t - b) * 0.5f;
    }
    return cropped;
}

}  // namespace Effect
