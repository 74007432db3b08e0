#include "filters/FadeFilter.h"

namespace Effect {

FadeFilter::FadeFilter() {
    name = L"フェード";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"切り替え効果";
}

std::shared_ptr<EffectBase> FadeFilter::createInstance() const { return std::make_shared<FadeFilter>(); }

std::shared_ptr<Media::ResourceBuffer> FadeFilter::filterVideo(Render::RenderContext&,
                                                               std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::FadeFilter::filterVideo");
}

}  // namespace Effect
