#include "filters/LuminanceKeyFilter.h"

#include "effect/RenderContext.h"
#include "filters/FilterBase.h"
#include "filters/OptionList.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {

LuminanceKeyFilter::LuminanceKeyFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"抽出";
}

void LuminanceKeyFilter::createCommonResource() {
    common = std::make_shared<CommonResource>(std::array<const char*, 1>{"LuminanceKey"},
                                              "Effect::LuminanceKeyFilter::CommonResource");
}

std::shared_ptr<Media::ResourceBuffer> LuminanceKeyFilter::filterVideo(Render::RenderContext& context,
                                                                       std::shared_ptr<Media::ResourceBuffer> image) {
    if (!image) return image;
    const Record record{mode.index, static_cast<float>(base.getValue(context) / 4096),
                        static_cast<float>(range.getValue(context) / 4096)};
    Platform::gpu::Buffer* constant = FilterPasses::uploadShared(&record, sizeof record);
    auto target = FilterPasses::newImage(image->width, image->height);
    common->shaders[0].drawResourceToResourceWithConstant(*target, *image, constant, nullptr);
    return target;
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
