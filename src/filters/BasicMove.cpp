#include "filters/BasicMove.h"

#include "effect/RenderContext.h"

namespace Effect {

BasicMove::BasicMove() {
    name = L"座標";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"基本効果";
}

std::shared_ptr<EffectBase> BasicMove::createInstance() const { return std::make_shared<BasicMove>(); }

std::shared_ptr<Media::ResourceBuffer> BasicMove::filterVideo(Render::RenderContext& context,
                                                              std::shared_ptr<Media::ResourceBuffer> image) {
    const float dx = static_cast<float>(x.getValue(context));
    const float dy = static_cast<float>(y.getValue(context));
    const float dz = static_cast<float>(z.getValue(context));
    context.view.x += dx;
    context.view.y += dy;
    context.view.z += dz;
    return image;
}

}  // namespace Effect
