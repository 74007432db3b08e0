#include "filters/ChromaKeyFilter.h"

namespace Effect {

ChromaKeyFilter::ChromaKeyFilter() {
    name = L"クロマキー";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"抽出";
}

std::shared_ptr<EffectBase> ChromaKeyFilter::createInstance() const { return std::make_shared<ChromaKeyFilter>(); }

void ChromaKeyFilter::createCommonResource() { resource = ShaderResource::create(3, 48); }

void ChromaKeyFilter::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const ChromaKeyFilter&>(prototype).resource;
}

std::shared_ptr<Media::ResourceBuffer> ChromaKeyFilter::filterVideo(Render::RenderContext&,
                                                                    std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::ChromaKeyFilter::filterVideo");
}

}  // namespace Effect
