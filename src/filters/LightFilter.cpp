#include "filters/LightFilter.h"

namespace Effect {

LightFilter::LightFilter() {
    name = L"ライト";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"光効果";
}

std::shared_ptr<EffectBase> LightFilter::createInstance() const { return std::make_shared<LightFilter>(); }

void LightFilter::createCommonResource() { resource = ShaderResource::create(5, 32); }

void LightFilter::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const LightFilter&>(prototype).resource;
}

std::shared_ptr<Media::ResourceBuffer> LightFilter::filterVideo(Render::RenderContext&,
                                                                std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::LightFilter::filterVideo");
}

}  // namespace Effect
