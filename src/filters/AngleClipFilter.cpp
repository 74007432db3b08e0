#include "filters/AngleClipFilter.h"

namespace Effect {

AngleClipFilter::AngleClipFilter() {
    name = L"扇クリッピング";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"クリッピング";
}

std::shared_ptr<EffectBase> AngleClipFilter::createInstance() const { return std::make_shared<AngleClipFilter>(); }

void AngleClipFilter::createCommonResource() { resource = ShaderResource::create(2, 48); }

void AngleClipFilter::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const AngleClipFilter&>(prototype).resource;
}

std::shared_ptr<Media::ResourceBuffer> AngleClipFilter::filterVideo(Render::RenderContext&,
                                                                    std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::AngleClipFilter::filterVideo");
}

}  // namespace Effect
