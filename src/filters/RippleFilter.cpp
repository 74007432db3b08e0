#include "filters/RippleFilter.h"

namespace Effect {

RippleFilter::RippleFilter() {
    name = L"波紋";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"変形";
    positionItems = {&centerX, &centerY};
}

std::shared_ptr<EffectBase> RippleFilter::createInstance() const { return std::make_shared<RippleFilter>(); }

void RippleFilter::createCommonResource() { resource = ShaderResource::create(1, 32); }

void RippleFilter::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const RippleFilter&>(prototype).resource;
}

std::shared_ptr<Media::ResourceBuffer> RippleFilter::filterVideo(Render::RenderContext&,
                                                                 std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::RippleFilter::filterVideo");
}

}  // namespace Effect
