#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemNumber.h"

namespace Effect {

// A shadow of the object's shape, offset and blurred, behind the object or
// drawn through the object's output as a drawing of its own.
class DropShadowFilter : public EffectClass<DropShadowFilter> {
public:
    static constexpr const wchar_t* kName = L"ドロップシャドウ";

    EffectItemNumber x{&items, L"X", -40, -1000, 1000, 1};
    EffectItemNumber y{&items, L"Y", 24, -1000, 1000, 1};
    EffectItemNumber density{&items, L"濃さ", 40, 0, 100, 0.1};
    EffectItemNumber diffusion{&items, L"拡散", 10, 0, 500, 1};
    EffectItemColor color{&items, L"影色", 0, 0, 0};
    EffectItemCheck separate{&items, L"影を別オブジェクトで描画"};

    DropShadowFilter();
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
};

}  // namespace Effect
