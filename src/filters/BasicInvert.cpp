#include "filters/BasicInvert.h"

namespace Effect {

BasicInvert::BasicInvert() {
    name = L"反転";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"基本効果";
}

std::shared_ptr<EffectBase> BasicInvert::createInstance() const { return std::make_shared<BasicInvert>(); }

void BasicInvert::createCommonResource() { resource = ShaderResource::create(3, 0); }

void BasicInvert::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const BasicInvert&>(prototype).resource;
}

std::shared_ptr<Media::ResourceBuffer> BasicInvert::filterVideo(Render::RenderContext&,
                                                                std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::BasicInvert::filterVideo");
}

}  // namespace Effect
