#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemNumber.h"

namespace Effect {

// Scales the image itself, by ratio or to a size in pixels.
class ResizeFilter : public EffectClass<ResizeFilter> {
public:
    static constexpr const wchar_t* kName = L"リサイズ";

    EffectItemNumber zoom{&items, L"拡大率", 100, 0, 10000, 0.001};
    EffectItemNumber x{&items, L"X", 100, 0, 10000, 0.001};
    EffectItemNumber y{&items, L"Y", 100, 0, 10000, 0.001};
    EffectItemCheck noInterpolation{&items, L"補間なし"};
    EffectItemCheck byPixels{&items, L"ピクセル数でサイズ指定"};

    ResizeFilter();
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
};

}  // namespace Effect
