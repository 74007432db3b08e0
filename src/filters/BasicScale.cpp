#include "filters/BasicScale.h"

#include "effect/RenderContext.h"

namespace Effect {

BasicScale::BasicScale() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"基本効果";
}

std::shared_ptr<Media::ResourceBuffer> BasicScale::filterVideo(Render::RenderContext& context,
                                                               std::shared_ptr<Media::ResourceBuffer> image) {
    const float s = static_cast<float>(zoom.getValue(context) * 0.01);
    const float sx = static_cast<float>(x.getValue(context) * 0.01);
    const float sy = static_cast<float>(y.getValue(context) * 0.01);
    const float sz = static_cast<float>(z.getValue(context) * 0.01);
    OutputView& view = context.view;
    view.scaleX *= s;
    view.scaleY *= s;
    view.scaleZ *= s;
    view.scaleX *= sx;
    view.scaleY *= sy;
    view.scaleZ *= sz;
    return image;
}

}  // namespace Effect
