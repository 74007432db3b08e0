#include "filters/BorderFilter.h"

namespace Effect {

BorderFilter::BorderFilter() {
    name = L"縁取り";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"装飾";
}

std::shared_ptr<EffectBase> BorderFilter::createInstance() const { return std::make_shared<BorderFilter>(); }

void BorderFilter::createCommonResource() { resource = ShaderResource::create(2, 64); }

void BorderFilter::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const BorderFilter&>(prototype).resource;
}

std::shared_ptr<Media::ResourceBuffer> BorderFilter::filterVideo(Render::RenderContext&,
                                                                 std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::BorderFilter::filterVideo");
}

}  // namespace Effect
