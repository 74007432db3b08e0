#include "filters/WipeFilter.h"

#include "filters/OptionList.h"

namespace Effect {

WipeFilter::WipeFilter() {
    name = L"ワイプ";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"切り替え効果";
}

std::shared_ptr<EffectBase> WipeFilter::createInstance() const { return std::make_shared<WipeFilter>(); }

std::shared_ptr<Media::ResourceBuffer> WipeFilter::filterVideo(Render::RenderContext&,
                                                               std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::WipeFilter::filterVideo");
}

// The wipe shapes of the transition list; the mask files of %Transition%
// follow them once the resources list them.
std::shared_ptr<const EffectItemSelect::SharedList> WipeFilter::wipeList() {
    static const auto list = makeOptionList({{0, L"ワイプ(円)"},
                                             {1, L"ワイプ(四角)"},
                                             {2, L"ワイプ(時計)"},
                                             {3, L"ワイプ(横)"},
                                             {4, L"ワイプ(縦)"},
                                             {5, L"ワイプ(星型)"},
                                             {6, L"ワイプ(ハート)"}});
    return list;
}

}  // namespace Effect
