#include "filters/FlashFilter.h"

#include <cmath>

#include "effect/RenderContext.h"
#include "filters/BlurFilter.h"
#include "filters/FilterBase.h"
#include "filters/FilterPasses.h"
#include "filters/OptionList.h"
#include "media/gpu/ResourceBuffer.h"

#include "filters/OptionList.h"

namespace Effect {
namespace {

constexpr size_t kOver = 0;          // blend: premultiplied source over destination
constexpr size_t kScaleByAlpha = 7;  // blend: the target times the source alpha
constexpr size_t kAddUnder = 12;     // blend: colours added, alpha under
constexpr size_t kTargetAlpha = 14;

}  // namespace

FlashFilter::FlashFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"光効果";
}

std::shared_ptr<Media::ResourceBuffer> FlashFilter::filterVideo(Render::RenderContext& context,
                                                                std::shared_ptr<Media::ResourceBuffer> image) {
    float pairX = 0, pairY = 0;
    auto flash =
        FilterPasses::radialPrototype().radialBlur(*image, pairX, pairY, 75.0f, static_cast<float>(x.getValue(context)),
                                                   static_cast<float>(y.getValue(context)), fixedSize.value != 0);
    // The grown flash stays in place on screen.
    context.view.centerX += pairX;
    context.view.centerY += pairY;
    const int32_t ox = static_cast<int32_t>(
        std::lround((static_cast<float>(image->width) - static_cast<float>(flash->width)) * 0.5f - pairX));
    const int32_t oy = static_cast<int32_t>(
        std::lround((static_cast<float>(image->height) - static_cast<float>(flash->height)) * 0.5f - pairY));
    if (!color.unset) {
        const float tint[4] = {color.red / 255.0f, color.green / 255.0f, color.blue / 255.0f, 1.0f};
        FilterPasses::fillColor(*flash, tint, FilterPasses::blend(kTargetAlpha));
    }
    const float k = FilterValue::percent(strength.getValue(context));
    if (k < 1.0f) {
        const float scale[4] = {0, 0, 0, k};
        FilterPasses::fillColor(*flash, scale, FilterPasses::blend(kScaleByAlpha));
    }
    switch (blend.index) {
    case 0: FilterPasses::shiftCopy(*flash, *image, ox, oy, FilterPasses::blend(kAddUnder)); break;
    case 1: FilterPasses::shiftCopy(*flash, *image, ox, oy, FilterPasses::blend(kOver)); break;
    default: break;  // the light alone
    }
    return flash;
}

// Where the flash goes.
std::shared_ptr<const EffectItemSelect::SharedList> FlashFilter::blendList() {
    static const auto list = makeOptionList({{0, L"前方に合成"}, {1, L"後方に合成"}, {2, L"光成分のみ"}});
    return list;
}

}  // namespace Effect
