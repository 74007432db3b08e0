#include "filters/GradationFilter.h"

#include "filters/OptionList.h"

namespace Effect {

GradationFilter::GradationFilter() {
    name = L"グラデーション";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"色調整";
}

std::shared_ptr<EffectBase> GradationFilter::createInstance() const { return std::make_shared<GradationFilter>(); }

void GradationFilter::createCommonResource() { resource = ShaderResource::create(1, 64); }

void GradationFilter::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const GradationFilter&>(prototype).resource;
}

std::shared_ptr<Media::ResourceBuffer> GradationFilter::filterVideo(Render::RenderContext&,
                                                                    std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::GradationFilter::filterVideo");
}

// The gradient shapes.
std::shared_ptr<const EffectItemSelect::SharedList> GradationFilter::shapeList() {
    static const auto list = makeOptionList({{0, L"線形"}, {1, L"円形"}, {2, L"矩形"}, {3, L"凸形"}});
    return list;
}

}  // namespace Effect
