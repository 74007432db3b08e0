#include "filters/BokashiFilter.h"

namespace Effect {

BokashiFilter::BokashiFilter() {
    name = L"ぼかし";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"ぼかし";
}

std::shared_ptr<EffectBase> BokashiFilter::createInstance() const { return std::make_shared<BokashiFilter>(); }

void BokashiFilter::createCommonResource() { resource = ShaderResource::create(6, 16, 6); }

void BokashiFilter::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const BokashiFilter&>(prototype).resource;
}

std::shared_ptr<Media::ResourceBuffer> BokashiFilter::filterVideo(Render::RenderContext&,
                                                                  std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::BokashiFilter::filterVideo");
}

}  // namespace Effect
