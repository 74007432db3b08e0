#include "filters/MonochromeFilter.h"

namespace Effect {

MonochromeFilter::MonochromeFilter() {
    name = L"単色化";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"色調整";
}

std::shared_ptr<EffectBase> MonochromeFilter::createInstance() const { return std::make_shared<MonochromeFilter>(); }

void MonochromeFilter::createCommonResource() { resource = ShaderResource::create(1, 32); }

void MonochromeFilter::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const MonochromeFilter&>(prototype).resource;
}

std::shared_ptr<Media::ResourceBuffer> MonochromeFilter::filterVideo(Render::RenderContext&,
                                                                     std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::MonochromeFilter::filterVideo");
}

}  // namespace Effect
