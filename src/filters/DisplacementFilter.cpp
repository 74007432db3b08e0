#include "filters/DisplacementFilter.h"

#include "filters/OptionList.h"

namespace Effect {

DisplacementFilter::DisplacementFilter() {
    name = L"ディスプレイスメントマップ";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    method.notify = 1;
    menuGroup = L"変形";
    positionItems = {&x, &y};
}

std::shared_ptr<EffectBase> DisplacementFilter::createInstance() const {
    return std::make_shared<DisplacementFilter>();
}

void DisplacementFilter::createCommonResource() { resource = ShaderResource::create(2, 48); }

void DisplacementFilter::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const DisplacementFilter&>(prototype).resource;
}

std::shared_ptr<Media::ResourceBuffer> DisplacementFilter::filterVideo(Render::RenderContext&,
                                                                       std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::DisplacementFilter::filterVideo");
}

// How the map moves the pixels.
std::shared_ptr<const EffectItemSelect::SharedList> DisplacementFilter::methodList() {
    static const auto list = makeOptionList({{0, L"移動変形"}, {1, L"拡大変形"}, {2, L"回転変形"}});
    return list;
}

}  // namespace Effect
