#include "filters/BasicScale.h"

namespace Effect {

BasicScale::BasicScale() {
    name = L"拡大率";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"基本効果";
}

std::shared_ptr<EffectBase> BasicScale::createInstance() const { return std::make_shared<BasicScale>(); }

std::shared_ptr<Media::ResourceBuffer> BasicScale::filterVideo(Render::RenderContext&,
                                                               std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::BasicScale::filterVideo");
}

}  // namespace Effect
