#include "filters/QuakeFilter.h"

namespace Effect {

QuakeFilter::QuakeFilter() {
    name = L"振動";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"アニメーション効果";
}

std::shared_ptr<EffectBase> QuakeFilter::createInstance() const { return std::make_shared<QuakeFilter>(); }

std::shared_ptr<Media::ResourceBuffer> QuakeFilter::filterVideo(Render::RenderContext&,
                                                                std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::QuakeFilter::filterVideo");
}

}  // namespace Effect
