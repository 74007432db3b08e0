#include "filters/RasterFilter.h"

namespace Effect {

RasterFilter::RasterFilter() {
    name = L"ラスター";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"変形";
}

std::shared_ptr<EffectBase> RasterFilter::createInstance() const { return std::make_shared<RasterFilter>(); }

void RasterFilter::createCommonResource() { resource = ShaderResource::create(4, 32); }

void RasterFilter::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const RasterFilter&>(prototype).resource;
}

std::shared_ptr<Media::ResourceBuffer> RasterFilter::filterVideo(Render::RenderContext&,
                                                                 std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::RasterFilter::filterVideo");
}

}  // namespace Effect
