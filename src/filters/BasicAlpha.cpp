#include "filters/BasicAlpha.h"

namespace Effect {

BasicAlpha::BasicAlpha() {
    name = L"透明度";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"基本効果";
}

std::shared_ptr<EffectBase> BasicAlpha::createInstance() const { return std::make_shared<BasicAlpha>(); }

std::shared_ptr<Media::ResourceBuffer> BasicAlpha::filterVideo(Render::RenderContext&,
                                                               std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::BasicAlpha::filterVideo");
}

}  // namespace Effect
