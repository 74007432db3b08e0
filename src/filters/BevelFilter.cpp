#include "filters/BevelFilter.h"

namespace Effect {

BevelFilter::BevelFilter() {
    name = L"凸エッジ";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"装飾";
}

std::shared_ptr<EffectBase> BevelFilter::createInstance() const { return std::make_shared<BevelFilter>(); }

void BevelFilter::createCommonResource() { resource = ShaderResource::create(1, 16); }

void BevelFilter::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const BevelFilter&>(prototype).resource;
}

std::shared_ptr<Media::ResourceBuffer> BevelFilter::filterVideo(Render::RenderContext&,
                                                                std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::BevelFilter::filterVideo");
}

}  // namespace Effect
