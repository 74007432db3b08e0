#include "filters/BasicMove.h"

namespace Effect {

BasicMove::BasicMove() {
    name = L"座標";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"基本効果";
}

std::shared_ptr<EffectBase> BasicMove::createInstance() const { return std::make_shared<BasicMove>(); }

std::shared_ptr<Media::ResourceBuffer> BasicMove::filterVideo(Render::RenderContext&,
                                                              std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::BasicMove::filterVideo");
}

}  // namespace Effect
