#include "filters/ColorKeyFilter.h"

namespace Effect {

ColorKeyFilter::ColorKeyFilter() {
    name = L"カラーキー";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"抽出";
}

std::shared_ptr<EffectBase> ColorKeyFilter::createInstance() const { return std::make_shared<ColorKeyFilter>(); }

void ColorKeyFilter::createCommonResource() { resource = ShaderResource::create(2, 32); }

void ColorKeyFilter::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const ColorKeyFilter&>(prototype).resource;
}

std::shared_ptr<Media::ResourceBuffer> ColorKeyFilter::filterVideo(Render::RenderContext&,
                                                                   std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::ColorKeyFilter::filterVideo");
}

}  // namespace Effect
