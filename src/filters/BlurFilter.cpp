#include "filters/BlurFilter.h"

namespace Effect {

BlurFilter::BlurFilter() {
    name = L"放射ブラー";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"ぼかし";
}

std::shared_ptr<EffectBase> BlurFilter::createInstance() const { return std::make_shared<BlurFilter>(); }

void BlurFilter::createCommonResource() { resource = ShaderResource::create(1, 32); }

void BlurFilter::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const BlurFilter&>(prototype).resource;
}

std::shared_ptr<Media::ResourceBuffer> BlurFilter::filterVideo(Render::RenderContext&,
                                                               std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::BlurFilter::filterVideo");
}

}  // namespace Effect
