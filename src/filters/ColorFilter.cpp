#include "filters/ColorFilter.h"

namespace Effect {

ColorFilter::ColorFilter() {
    name = L"色調補正";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"色調整";
}

std::shared_ptr<EffectBase> ColorFilter::createInstance() const { return std::make_shared<ColorFilter>(); }

void ColorFilter::createCommonResource() { resource = ShaderResource::create(1, 32); }

void ColorFilter::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const ColorFilter&>(prototype).resource;
}

std::shared_ptr<Media::ResourceBuffer> ColorFilter::filterVideo(Render::RenderContext&,
                                                                std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::ColorFilter::filterVideo");
}

}  // namespace Effect
