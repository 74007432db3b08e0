#include "filters/MosaicFilter.h"

namespace Effect {

MosaicFilter::MosaicFilter() {
    name = L"モザイク";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"加工";
}

std::shared_ptr<EffectBase> MosaicFilter::createInstance() const { return std::make_shared<MosaicFilter>(); }

void MosaicFilter::createCommonResource() { resource = ShaderResource::create(1, 0); }

void MosaicFilter::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const MosaicFilter&>(prototype).resource;
}

std::shared_ptr<Media::ResourceBuffer> MosaicFilter::filterVideo(Render::RenderContext&,
                                                                 std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::MosaicFilter::filterVideo");
}

}  // namespace Effect
