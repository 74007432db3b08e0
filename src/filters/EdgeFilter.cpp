#include "filters/EdgeFilter.h"

namespace Effect {

EdgeFilter::EdgeFilter() {
    name = L"エッジ抽出";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    luminanceEdge.notify = 1;
    alphaEdge.notify = 1;
    menuGroup = L"抽出";
}

std::shared_ptr<EffectBase> EdgeFilter::createInstance() const { return std::make_shared<EdgeFilter>(); }

void EdgeFilter::createCommonResource() { resource = ShaderResource::create(3, 32); }

void EdgeFilter::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const EdgeFilter&>(prototype).resource;
}

std::shared_ptr<Media::ResourceBuffer> EdgeFilter::filterVideo(Render::RenderContext&,
                                                               std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::EdgeFilter::filterVideo");
}

}  // namespace Effect
