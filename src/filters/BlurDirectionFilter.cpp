#include "filters/BlurDirectionFilter.h"

namespace Effect {

BlurDirectionFilter::BlurDirectionFilter() {
    name = L"方向ブラー";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"ぼかし";
}

std::shared_ptr<EffectBase> BlurDirectionFilter::createInstance() const {
    return std::make_shared<BlurDirectionFilter>();
}

void BlurDirectionFilter::createCommonResource() { resource = ShaderResource::create(1, 32); }

void BlurDirectionFilter::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const BlurDirectionFilter&>(prototype).resource;
}

std::shared_ptr<Media::ResourceBuffer> BlurDirectionFilter::filterVideo(Render::RenderContext&,
                                                                        std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::BlurDirectionFilter::filterVideo");
}

}  // namespace Effect
