#include "filters/NoiseReductionFilter.h"

namespace Effect {

NoiseReductionFilter::NoiseReductionFilter() {
    name = L"ノイズ除去";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"加工";
}

std::shared_ptr<EffectBase> NoiseReductionFilter::createInstance() const {
    return std::make_shared<NoiseReductionFilter>();
}

void NoiseReductionFilter::createCommonResource() { resource = ShaderResource::create(1, 0); }

void NoiseReductionFilter::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const NoiseReductionFilter&>(prototype).resource;
}

std::shared_ptr<Media::ResourceBuffer> NoiseReductionFilter::filterVideo(Render::RenderContext&,
                                                                         std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::NoiseReductionFilter::filterVideo");
}

}  // namespace Effect
