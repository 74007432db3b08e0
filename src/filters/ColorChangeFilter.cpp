#include "filters/ColorChangeFilter.h"

namespace Effect {

ColorChangeFilter::ColorChangeFilter() {
    name = L"特定色域変換";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"色調整";
}

std::shared_ptr<EffectBase> ColorChangeFilter::createInstance() const { return std::make_shared<ColorChangeFilter>(); }

void ColorChangeFilter::createCommonResource() { resource = ShaderResource::create(2, 48); }

void ColorChangeFilter::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const ColorChangeFilter&>(prototype).resource;
}

std::shared_ptr<Media::ResourceBuffer> ColorChangeFilter::filterVideo(Render::RenderContext&,
                                                                      std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::ColorChangeFilter::filterVideo");
}

}  // namespace Effect
