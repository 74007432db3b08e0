#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemFigureSelect.h"
#include "effect/EffectItemNumber.h"

namespace Effect {

// A figure of the figure list (built-in shapes and figure files), or an SVG
// file, drawn at a size and aspect in the chosen colour.
class FigureLoad : public EffectClass<FigureLoad> {
public:
    static constexpr const wchar_t* kName = L"図形";

    EffectItemFigureSelect figure{&items, L"図形の種類"};
    EffectItemNumber size{&items, L"サイズ", 100, 0, 4000, 1};
    EffectItemNumber aspect{&items, L"縦横比", 0, -100, 100, 0.01};
    EffectItemNumber lineWidth{&items, L"ライン幅", 4000, 0, 4000, 1};
    EffectItemColor color{&items, L"色", 255, 255, 255};
    EffectItemCheck rounded{&items, L"角を丸くする"};

    FigureLoad();

    std::shared_ptr<Media::ResourceBuffer> inputVideo(Render::RenderContext& context) override;
    std::wstring getDisplayName() const override;
    bool itemEvent(const ItemEvent& event) override;
    bool isSupportedFile(const std::wstring& path) const override;

    // The drawn size for a size and an aspect: a positive aspect narrows, a
    // negative one flattens. False when a side is below one pixel.
    static bool figureSize(double size, double aspect, uint32_t& width, uint32_t& height);
};

}  // namespace Effect
