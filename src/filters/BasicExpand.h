#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemNumber.h"

namespace Effect {

// Grows the image by margins that are transparent or repeat the edge pixels.
// The output draws the larger image centred, so unequal margins move the picture.
class BasicExpand : public EffectClass<BasicExpand> {
public:
    static constexpr const wchar_t* kName = L"領域拡張";

    EffectItemNumber top{&items, L"上", 0, 0, 4000, 1};
    EffectItemNumber bottom{&items, L"下", 0, 0, 4000, 1};
    EffectItemNumber left{&items, L"左", 0, 0, 4000, 1};
    EffectItemNumber right{&items, L"右", 0, 0, 4000, 1};
    EffectItemCheck fill{&items, L"塗りつぶし"};

    BasicExpand();
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
};

}  // namespace Effect
