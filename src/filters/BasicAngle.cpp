#include "filters/BasicAngle.h"

#include "effect/RenderContext.h"

namespace Effect {

BasicAngle::BasicAngle() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"基本効果";
}

std::shared_ptr<Media::ResourceBuffer> BasicAngle::filterVideo(Render::RenderContext& context,
                                                               std::shared_ptr<Media::ResourceBuffer> image) {
    const float ax = static_cast<float>(x.getValue(context));
    const float ay = static_cast<float>(y.getValue(context));
    const float az = static_cast<float>(z.getValue(context));
    context.view.rotationX += ax;
    context.view.rotationY += ay;
    context.view.rotationZ += az;
    return image;
}

}  // namespace Effect
