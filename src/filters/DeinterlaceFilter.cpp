#include "filters/DeinterlaceFilter.h"

#include "filters/OptionList.h"

namespace Effect {

DeinterlaceFilter::DeinterlaceFilter() {
    name = L"インターレース解除";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"加工";
}

std::shared_ptr<EffectBase> DeinterlaceFilter::createInstance() const { return std::make_shared<DeinterlaceFilter>(); }

void DeinterlaceFilter::createCommonResource() { resource = ShaderResource::create(1, 0); }

void DeinterlaceFilter::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const DeinterlaceFilter&>(prototype).resource;
}

std::shared_ptr<Media::ResourceBuffer> DeinterlaceFilter::filterVideo(Render::RenderContext&,
                                                                      std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::DeinterlaceFilter::filterVideo");
}

// The field kept, or both.
std::shared_ptr<const EffectItemSelect::SharedList> DeinterlaceFilter::methodList() {
    static const auto list = makeOptionList({{0, L"奇数"}, {1, L"偶数"}, {2, L"二重化"}});
    return list;
}

}  // namespace Effect
