#include "filters/WipeFilter.h"

#include <algorithm>

#include "filters/FilterBase.h"
#include "filters/FilterPasses.h"
#include "filters/ObjectTime.h"
#include "filters/OptionList.h"
#include "media/gpu/PixelShaderList.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"
#include "media/resource/TransitionList.h"

namespace Effect {
namespace {

constexpr size_t kCopy = 2;
constexpr size_t kKeepWhereOpaque = 7, kCutWhereOpaque = 8;

}  // namespace

WipeFilter::WipeFilter() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"切り替え効果";
}

bool WipeFilter::progressAt(double in, double out, bool invertIn, bool invertOut, double elapsed, double remaining,
                            double& progress) {
    progress = 1;
    bool inverted = false;
    if (in > 0 && in > elapsed) {
        progress = std::clamp(elapsed / in, 0.0, 1.0);
        inverted = invertIn;
    }
    if (out > 0 && out > remaining) {
        progress = std::min(progress, std::clamp(remaining / out, 0.0, 1.0));
        inverted = invertOut;
    }
    return inverted;
}

std::shared_ptr<Media::ResourceBuffer> WipeFilter::filterVideo(Render::RenderContext& context,
                                                               std::shared_ptr<Media::ResourceBuffer> image) {
    if (!image) return image;
    const ObjectTime t = ObjectTime::of(context);
    double progress;
    const bool inverted = progressAt(fadeIn.getValue(context), fadeOut.getValue(context), invertIn.value != 0,
                                     invertOut.value != 0, t.elapsed, t.remaining, progress);
    if (progress == 1) return image;
    if (inverted) progress = 1 - progress;
    Resource::ResourceService& resources = FilterPasses::resources();
    if (!resources.transitions) return image;
    const std::vector<Resource::TransitionData>& entries = resources.transitions->transitions;
    if (kind.index < 0 || static_cast<size_t>(kind.index) >= entries.size()) return image;
    const auto mask =
        entries[static_cast<size_t>(kind.index)].createMask(image->width, image->height, static_cast<float>(progress),
                                                            FilterValue::pixels(blur.getValue(context)),
                                                            keepAspect.value != 0);
    if (!mask) return image;
    image = FilterPasses::ownImage(std::move(image));
    resources.pixelShaders[kCopy].drawResourceToResource(*image, *mask,
                                                         FilterPasses::blend(inverted ? kCutWhereOpaque
                                                                                      : kKeepWhereOpaque));
    return image;
}

// The wipes of the resource service's transition list, the mask files of the
// transition folder after the built-in shapes; the shapes alone without it.
std::shared_ptr<const EffectItemSelect::SharedList> WipeFilter::wipeList() {
    static const auto list = []() -> std::shared_ptr<const EffectItemSelect::SharedList> {
        const Resource::ResourceService* resources = Resource::ResourceService::get();
        if (resources && resources->transitions && !resources->transitions->names.empty()) {
            auto listed = EffectItemSelect::SharedList::create();
            for (const auto& [index, name] : resources->transitions->names) listed->add(index, name);
            return listed;
        }
        return makeOptionList({{0, L"ワイプ(円)"},
                               {1, L"ワイプ(四角)"},
                               {2, L"ワイプ(時計)"},
                               {3, L"ワイプ(横)"},
                               {4, L"ワイプ(縦)"},
                               {5, L"ワイプ(星型)"},
                               {6, L"ワイプ(ハート)"}});
    }();
    return list;
}

}  // namespace Effect
