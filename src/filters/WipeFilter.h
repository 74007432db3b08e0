#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemSelect.h"

namespace Effect {

// Wipes the object in at its start and out at its end with a transition mask.
class WipeFilter : public EffectClass<WipeFilter> {
public:
    static constexpr const wchar_t* kName = L"ワイプ";

    EffectItemNumber fadeIn{&items, L"イン", 0.5, 0, 10, 0.01};
    EffectItemNumber fadeOut{&items, L"アウト", 0.5, 0, 10, 0.01};
    EffectItemNumber blur{&items, L"ぼかし", 2, 0, 100, 1};
    EffectItemSelect kind{&items, L"ワイプの種類", 0, wipeList()};
    EffectItemCheck keepAspect{&items, L"縦横比固定", true};
    EffectItemCheck invertIn{&items, L"反転(イン)"};
    EffectItemCheck invertOut{&items, L"反転(アウト)"};

    WipeFilter();
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;

    // The progress (1: fully shown) at the seconds since the start and to the
    // end, and whether the phase it comes from is inverted.
    static bool progressAt(double in, double out, bool invertIn, bool invertOut, double elapsed, double remaining,
                           double& progress);

private:
    static std::shared_ptr<const EffectItemSelect::SharedList> wipeList();
};

}  // namespace Effect
