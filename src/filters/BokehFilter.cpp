#include "filters/BokehFilter.h"

#include "effect/EffectItemFigureSelect.h"
#include "filters/OptionList.h"

namespace Effect {

BokehFilter::BokehFilter() {
    name = L"レンズブラー";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"ぼかし";
}

std::shared_ptr<EffectBase> BokehFilter::createInstance() const { return std::make_shared<BokehFilter>(); }

void BokehFilter::createCommonResource() { resource = ShaderResource::create(3, 32); }

void BokehFilter::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const BokehFilter&>(prototype).resource;
}

std::shared_ptr<Media::ResourceBuffer> BokehFilter::filterVideo(Render::RenderContext&,
                                                                std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::BokehFilter::filterVideo");
}

// The figure list: the built-in figures, then the figure files.
std::shared_ptr<const EffectItemSelect::SharedList> BokehFilter::figureList() {
    return borrowOptionList(EffectItemFigureSelect::getFigureList());
}

}  // namespace Effect
