#include "filters/ResizeFilter.h"

namespace Effect {

ResizeFilter::ResizeFilter() {
    name = L"リサイズ";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"変形";
}

std::shared_ptr<EffectBase> ResizeFilter::createInstance() const { return std::make_shared<ResizeFilter>(); }

std::shared_ptr<Media::ResourceBuffer> ResizeFilter::filterVideo(Render::RenderContext&,
                                                                 std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::ResizeFilter::filterVideo");
}

}  // namespace Effect
