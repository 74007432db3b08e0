#include "filters/LuminanceKeyFilter.h"

#include "filters/OptionList.h"

namespace Effect {

LuminanceKeyFilter::LuminanceKeyFilter() {
    name = L"ルミナンスキー";
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"抽出";
}

std::shared_ptr<EffectBase> LuminanceKeyFilter::createInstance() const {
    return std::make_shared<LuminanceKeyFilter>();
}

void LuminanceKeyFilter::createCommonResource() { resource = ShaderResource::create(1, 0); }

void LuminanceKeyFilter::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const LuminanceKeyFilter&>(prototype).resource;
}

std::shared_ptr<Media::ResourceBuffer> LuminanceKeyFilter::filterVideo(Render::RenderContext&,
                                                                       std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::LuminanceKeyFilter::filterVideo");
}

// What is made transparent.
std::shared_ptr<const EffectItemSelect::SharedList> LuminanceKeyFilter::modeList() {
    static const auto list = makeOptionList({{0, L"暗い部分を透過"},
                                             {1, L"明るい部分を透過"},
                                             {2, L"明暗部分を透過"},
                                             {3, L"明暗部分を透過(補間無し)"},
                                             {4, L"基準部分を透過"},
                                             {5, L"基準部分を透過(補間無し)"}});
    return list;
}

}  // namespace Effect
