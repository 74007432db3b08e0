#pragma once
#include "effect/EffectBase.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemGroup.h"
#include "effect/EffectItemMaskSelect.h"
#include "effect/EffectItemNumber.h"
#include "effects/ShaderResource.h"

namespace Effect {

// Applies the filters of the layers after it inside a mask only.
class PartEffect : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"部分フィルタ";

    EffectItemNumber x{&items, L"X", 0, -5000, 5000, 1};
    EffectItemNumber y{&items, L"Y", 0, -5000, 5000, 1};
    EffectItemNumber angle{&items, L"回転", 0, -3600, 3600, 0.01};
    EffectItemNumber size{&items, L"サイズ", 100, 0, 4000, 1};
    EffectItemNumber aspect{&items, L"縦横比", 0, -100, 100, 0.01};
    EffectItemNumber blur{&items, L"ぼかし", 0, 0, 1000, 1};
    EffectItemMaskSelect mask{&items, L"マスクの種類", &fitScene};
    EffectItemCheck fitScene{&items, L"シーンの長さを合わせる"};
    EffectItemCheck invert{&items, L"マスクの反転"};
    EffectItemGroup position{{&x, &y}};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    PartEffect();
    std::shared_ptr<EffectBase> createInstance() const override;
    void createCommonResource() override;
    void shareResource(const EffectBase& prototype) override;
    void controlVideo(Render::RenderContext& context) override;
};

}  // namespace Effect
