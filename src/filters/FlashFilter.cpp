#include "filters/FlashFilter.h"

#include "filters/OptionList.h"

namespace Effect {

FlashFilter::FlashFilter() {
    name = L"閃光";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"光効果";
}

std::shared_ptr<EffectBase> FlashFilter::createInstance() const { return std::make_shared<FlashFilter>(); }

std::shared_ptr<Media::ResourceBuffer> FlashFilter::filterVideo(Render::RenderContext&,
                                                                std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::FlashFilter::filterVideo");
}

// Where the flash goes.
std::shared_ptr<const EffectItemSelect::SharedList> FlashFilter::blendList() {
    static const auto list = makeOptionList({{0, L"前方に合成"}, {1, L"後方に合成"}, {2, L"光成分のみ"}});
    return list;
}

}  // namespace Effect
