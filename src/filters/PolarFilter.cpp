#include "filters/PolarFilter.h"

namespace Effect {

PolarFilter::PolarFilter() {
    name = L"極座標変換";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"変形";
}

std::shared_ptr<EffectBase> PolarFilter::createInstance() const { return std::make_shared<PolarFilter>(); }

void PolarFilter::createCommonResource() { resource = ShaderResource::create(1, 32); }

void PolarFilter::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const PolarFilter&>(prototype).resource;
}

std::shared_ptr<Media::ResourceBuffer> PolarFilter::filterVideo(Render::RenderContext&,
                                                                std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::PolarFilter::filterVideo");
}

}  // namespace Effect
