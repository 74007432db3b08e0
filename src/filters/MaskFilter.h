#pragma once
#include "effect/MoveXYAnchorEffect.h"
#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemGroup.h"
#include "effect/EffectItemMaskSelect.h"
#include "effect/EffectItemNumber.h"
#include "effects/ShaderResource.h"

namespace Effect {

// Keeps the image where a placed mask (figure, image, script mask or scene) is bright.
class MaskFilter : public EffectClass<MaskFilter, MoveXYAnchorEffect> {
public:
    static constexpr const wchar_t* kName = L"マスク";

    EffectItemNumber x{&items, L"X", 0, -5000, 5000, 0.1};
    EffectItemNumber y{&items, L"Y", 0, -5000, 5000, 0.1};
    EffectItemNumber angle{&items, L"回転", 0, -3600, 3600, 0.01};
    EffectItemNumber size{&items, L"サイズ", 100, 0, 4000, 1};
    EffectItemNumber aspect{&items, L"縦横比", 0, -100, 100, 0.01};
    EffectItemNumber blur{&items, L"ぼかし", 0, 0, 1000, 1};
    EffectItemMaskSelect mask{&items, L"マスクの種類", &fitScene};
    EffectItemCheck fitScene{&items, L"シーンの長さを合わせる"};
    EffectItemCheck invert{&items, L"マスクの反転"};
    EffectItemCheck fitSize{&items, L"元のサイズに合わせる"};
    EffectItemGroup position{{&x, &y}};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    MaskFilter();
    void createCommonResource() override;
    void preInputVideo(Render::RenderContext& context) override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
};

}  // namespace Effect
