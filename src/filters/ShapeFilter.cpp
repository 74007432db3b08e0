#include "filters/ShapeFilter.h"

namespace Effect {

ShapeFilter::ShapeFilter() {
    name = L"シャープ";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"加工";
}

std::shared_ptr<EffectBase> ShapeFilter::createInstance() const { return std::make_shared<ShapeFilter>(); }

void ShapeFilter::createCommonResource() { resource = ShaderResource::create(1, 0); }

void ShapeFilter::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const ShapeFilter&>(prototype).resource;
}

std::shared_ptr<Media::ResourceBuffer> ShapeFilter::filterVideo(Render::RenderContext&,
                                                                std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::ShapeFilter::filterVideo");
}

}  // namespace Effect
