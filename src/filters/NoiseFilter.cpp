#include "filters/NoiseFilter.h"

#include "filters/OptionList.h"

namespace Effect {

NoiseFilter::NoiseFilter() {
    name = L"ノイズ";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"加工";
}

std::shared_ptr<EffectBase> NoiseFilter::createInstance() const { return std::make_shared<NoiseFilter>(); }

void NoiseFilter::createCommonResource() { resource = ShaderResource::create(1, 48); }

void NoiseFilter::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const NoiseFilter&>(prototype).resource;
}

std::shared_ptr<Media::ResourceBuffer> NoiseFilter::filterVideo(Render::RenderContext&,
                                                                std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::NoiseFilter::filterVideo");
}

// What the noise multiplies.
std::shared_ptr<const EffectItemSelect::SharedList> NoiseFilter::blendList() {
    static const auto list = makeOptionList({{0, L"アルファ値と乗算"}, {1, L"明るさと乗算"}});
    return list;
}

// The noise patterns.
std::shared_ptr<const EffectItemSelect::SharedList> NoiseFilter::kindList() {
    static const auto list =
        makeOptionList({{0, L"Type1"}, {1, L"Type2"}, {2, L"Type3"}, {3, L"Type4"}, {4, L"Type5"}, {5, L"Type6"}});
    return list;
}

}  // namespace Effect
