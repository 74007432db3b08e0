#include "filters/ClipFilter.h"

namespace Effect {

ClipFilter::ClipFilter() {
    name = L"クリッピング";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"クリッピング";
}

std::shared_ptr<EffectBase> ClipFilter::createInstance() const { return std::make_shared<ClipFilter>(); }

std::shared_ptr<Media::ResourceBuffer> ClipFilter::filterVideo(Render::RenderContext&,
                                                               std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::ClipFilter::filterVideo");
}

}  // namespace Effect
