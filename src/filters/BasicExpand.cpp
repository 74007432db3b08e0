#include "filters/BasicExpand.h"

namespace Effect {

BasicExpand::BasicExpand() {
    name = L"領域拡張";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"基本効果";
}

std::shared_ptr<EffectBase> BasicExpand::createInstance() const { return std::make_shared<BasicExpand>(); }

std::shared_ptr<Media::ResourceBuffer> BasicExpand::filterVideo(Render::RenderContext&,
                                                                std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::BasicExpand::filterVideo");
}

}  // namespace Effect
