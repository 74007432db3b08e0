#include "filters/MaskFilter.h"

namespace Effect {

MaskFilter::MaskFilter() {
    name = L"マスク";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"クリッピング";
}

std::shared_ptr<EffectBase> MaskFilter::createInstance() const { return std::make_shared<MaskFilter>(); }

void MaskFilter::createCommonResource() { resource = ShaderResource::create(1, 32); }

void MaskFilter::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const MaskFilter&>(prototype).resource;
}

std::shared_ptr<Media::ResourceBuffer> MaskFilter::filterVideo(Render::RenderContext&,
                                                               std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::MaskFilter::filterVideo");
}

}  // namespace Effect
