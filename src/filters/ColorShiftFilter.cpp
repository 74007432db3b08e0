#include "filters/ColorShiftFilter.h"

#include "filters/OptionList.h"

namespace Effect {

ColorShiftFilter::ColorShiftFilter() {
    name = L"色ずれ";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"光効果";
}

std::shared_ptr<EffectBase> ColorShiftFilter::createInstance() const { return std::make_shared<ColorShiftFilter>(); }

void ColorShiftFilter::createCommonResource() { resource = ShaderResource::create(1, 48); }

void ColorShiftFilter::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const ColorShiftFilter&>(prototype).resource;
}

std::shared_ptr<Media::ResourceBuffer> ColorShiftFilter::filterVideo(Render::RenderContext&,
                                                                     std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::ColorShiftFilter::filterVideo");
}

// The channel pairs shifted.
std::shared_ptr<const EffectItemSelect::SharedList> ColorShiftFilter::kindList() {
    static const auto list =
        makeOptionList({{0, L"赤緑A"}, {1, L"赤青A"}, {2, L"緑青A"}, {3, L"赤緑B"}, {4, L"赤青B"}, {5, L"緑青B"}});
    return list;
}

}  // namespace Effect
