#include "filters/BorderBlurFilter.h"

namespace Effect {

BorderBlurFilter::BorderBlurFilter() {
    name = L"境界ぼかし";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"ぼかし";
}

std::shared_ptr<EffectBase> BorderBlurFilter::createInstance() const { return std::make_shared<BorderBlurFilter>(); }

void BorderBlurFilter::createCommonResource() { resource = ShaderResource::create(4, 0); }

void BorderBlurFilter::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const BorderBlurFilter&>(prototype).resource;
}

std::shared_ptr<Media::ResourceBuffer> BorderBlurFilter::filterVideo(Render::RenderContext&,
                                                                     std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::BorderBlurFilter::filterVideo");
}

}  // namespace Effect
