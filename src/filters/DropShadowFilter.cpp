#include "filters/DropShadowFilter.h"

namespace Effect {

DropShadowFilter::DropShadowFilter() {
    name = L"ドロップシャドウ";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"装飾";
}

std::shared_ptr<EffectBase> DropShadowFilter::createInstance() const { return std::make_shared<DropShadowFilter>(); }

std::shared_ptr<Media::ResourceBuffer> DropShadowFilter::filterVideo(Render::RenderContext&,
                                                                     std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::DropShadowFilter::filterVideo");
}

}  // namespace Effect
