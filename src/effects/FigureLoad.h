#pragma once
#include "effect/EffectBase.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemFigureSelect.h"
#include "effect/EffectItemNumber.h"

namespace Effect {

// A figure of the figure list (built-in shapes and figure files).
class FigureLoad : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"図形";

    EffectItemFigureSelect figure{&items, L"図形の種類"};
    EffectItemNumber size{&items, L"サイズ", 100, 0, 4000, 1};
    EffectItemNumber aspect{&items, L"縦横比", 0, -100, 100, 0.01};
    EffectItemNumber lineWidth{&items, L"ライン幅", 4000, 0, 4000, 1};
    EffectItemColor color{&items, L"色", 255, 255, 255};
    EffectItemCheck rounded{&items, L"角を丸くする"};

    FigureLoad();
    std::shared_ptr<EffectBase> createInstance() const override;
};

}  // namespace Effect
