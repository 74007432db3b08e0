#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemNumber.h"

namespace Effect {

// Crops the image by four edge amounts.
class ClipFilter : public EffectClass<ClipFilter> {
public:
    static constexpr const wchar_t* kName = L"クリッピング";

    EffectItemNumber top{&items, L"上", 0, 0, 4000, 1};
    EffectItemNumber bottom{&items, L"下", 0, 0, 4000, 1};
    EffectItemNumber left{&items, L"左", 0, 0, 4000, 1};
    EffectItemNumber right{&items, L"右", 0, 0, 4000, 1};
    EffectItemCheck moveCenter{&items, L"中心の位置を変更"};

    ClipFilter();
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
};

}  // namespace Effect
