#include "filters/BasicAlpha.h"

#include "effect/RenderContext.h"

namespace Effect {

BasicAlpha::BasicAlpha() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"基本効果";
}

std::shared_ptr<Media::ResourceBuffer> BasicAlpha::filterVideo(Render::RenderContext& context,
                                                               std::shared_ptr<Media::ResourceBuffer> image) {
    context.view.opacity *= 1.0f - static_cast<float>(alpha.getValue(context) * 0.01);
    return image;
}

}  // namespace Effect
