#include "filters/GlowFilter.h"

#include "filters/OptionList.h"

namespace Effect {

GlowFilter::GlowFilter() {
    name = L"グロー";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"光効果";
}

std::shared_ptr<EffectBase> GlowFilter::createInstance() const { return std::make_shared<GlowFilter>(); }

void GlowFilter::createCommonResource() { resource = ShaderResource::create(1, 32); }

void GlowFilter::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const GlowFilter&>(prototype).resource;
}

std::shared_ptr<Media::ResourceBuffer> GlowFilter::filterVideo(Render::RenderContext&,
                                                               std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::GlowFilter::filterVideo");
}

// The glow shapes.
std::shared_ptr<const EffectItemSelect::SharedList> GlowFilter::shapeList() {
    static const auto list = makeOptionList({{0, L"通常"},
                                             {1, L"クロス(4本)"},
                                             {2, L"クロス(6本)"},
                                             {3, L"クロス(8本)"},
                                             {4, L"クロス(10本)"},
                                             {5, L"クロス(12本)"},
                                             {6, L"ライン"}});
    return list;
}

}  // namespace Effect
