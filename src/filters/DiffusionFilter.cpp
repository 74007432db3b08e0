#include "filters/DiffusionFilter.h"

namespace Effect {

DiffusionFilter::DiffusionFilter() {
    name = L"拡散光";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"光効果";
}

std::shared_ptr<EffectBase> DiffusionFilter::createInstance() const { return std::make_shared<DiffusionFilter>(); }

void DiffusionFilter::createCommonResource() { resource = ShaderResource::create(1, 0); }

void DiffusionFilter::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const DiffusionFilter&>(prototype).resource;
}

std::shared_ptr<Media::ResourceBuffer> DiffusionFilter::filterVideo(Render::RenderContext&,
                                                                    std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::DiffusionFilter::filterVideo");
}

}  // namespace Effect
