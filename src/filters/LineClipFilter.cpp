#include "filters/LineClipFilter.h"

namespace Effect {

LineClipFilter::LineClipFilter() {
    name = L"斜めクリッピング";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"クリッピング";
}

std::shared_ptr<EffectBase> LineClipFilter::createInstance() const { return std::make_shared<LineClipFilter>(); }

void LineClipFilter::createCommonResource() { resource = ShaderResource::create(2, 32); }

void LineClipFilter::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const LineClipFilter&>(prototype).resource;
}

std::shared_ptr<Media::ResourceBuffer> LineClipFilter::filterVideo(Render::RenderContext&,
                                                                   std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::LineClipFilter::filterVideo");
}

}  // namespace Effect
