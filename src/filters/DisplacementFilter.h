#pragma once
#include "effect/MoveXYAnchorEffect.h"
#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemGroup.h"
#include "effect/EffectItemMaskSelect.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemSelect.h"
#include "effects/ShaderResource.h"

namespace Effect {

// Moves, scales or turns each pixel's footprint by a placed map.
class DisplacementFilter : public EffectClass<DisplacementFilter, MoveXYAnchorEffect> {
public:
    static constexpr const wchar_t* kName = L"ディスプレイスメントマップ";

    EffectItemNumber x{&items, L"X", 0, -5000, 5000, 0.1};
    EffectItemNumber y{&items, L"Y", 0, -5000, 5000, 0.1};
    EffectItemNumber angle{&items, L"回転", 0, -3600, 3600, 0.01};
    EffectItemNumber size{&items, L"サイズ", 200, 0, 4000, 1};
    EffectItemNumber aspect{&items, L"縦横比", 0, -100, 100, 0.001};
    EffectItemNumber blur{&items, L"ぼかし", 5, 0, 1000, 1};
    EffectItemNumber moveX{&items, L"変形X", 0, -5000, 5000, 0.01};
    EffectItemNumber moveY{&items, L"変形Y", 0, -5000, 5000, 0.01};
    EffectItemNumber zoom{&items, L"拡大変形", 0, -5000, 5000, 0.01};
    EffectItemNumber zoomAspect{&items, L"拡大縦横", 0, -100, 100, 0.001};
    EffectItemNumber rotation{&items, L"回転変形", 0, -5000, 5000, 0.01};
    EffectItemSelect method{&items, L"変形方法", 0, methodList()};
    EffectItemMaskSelect map{&items, L"マップの種類", &fitScene};
    EffectItemCheck fitScene{&items, L"シーンの長さを合わせる"};
    EffectItemCheck fitSize{&items, L"元のサイズに合わせる"};
    EffectItemGroup position{{&x, &y}};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    DisplacementFilter();
    void createCommonResource() override;
    void preInputVideo(Render::RenderContext& context) override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
    // A new method asks the settings panel to show the items again.
    bool itemEvent(const ItemEvent& event) override;
    // Enables the strengths of the chosen method only.
    void updateItemState() override;

private:
    static std::shared_ptr<const EffectItemSelect::SharedList> methodList();
};

}  // namespace Effect
