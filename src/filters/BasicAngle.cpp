#include "filters/BasicAngle.h"

namespace Effect {

BasicAngle::BasicAngle() {
    name = L"回転";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"基本効果";
}

std::shared_ptr<EffectBase> BasicAngle::createInstance() const { return std::make_shared<BasicAngle>(); }

std::shared_ptr<Media::ResourceBuffer> BasicAngle::filterVideo(Render::RenderContext&,
                                                               std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::BasicAngle::filterVideo");
}

}  // namespace Effect
