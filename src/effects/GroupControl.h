#pragma once
#include "effect/EffectBase.h"
#include "effect/EffectItemGroup.h"
#include "effect/EffectItemLayerRange.h"
#include "effect/EffectItemNumber.h"

namespace Effect {

// Moves, turns and zooms the objects of the layers after it together.
class GroupControl : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"グループ制御";

    EffectItemNumber x{&items, L"X", 0, -100000, 100000, 0.01};
    EffectItemNumber y{&items, L"Y", 0, -100000, 100000, 0.01};
    EffectItemNumber z{&items, L"Z", 0, -100000, 100000, 0.01};
    EffectItemNumber angleX{&items, L"X軸回転", 0, -3600, 3600, 0.01};
    EffectItemNumber angleY{&items, L"Y軸回転", 0, -3600, 3600, 0.01};
    EffectItemNumber angleZ{&items, L"Z軸回転", 0, -3600, 3600, 0.01};
    EffectItemNumber zoom{&items, L"拡大率", 100, 0, 10000, 0.001};
    EffectItemLayerRange layers{&items, L"対象レイヤー数", 0, 0, 1000};
    EffectItemGroup position{{&x, &y, &z}};

    GroupControl();
    std::shared_ptr<EffectBase> createInstance() const override;
    EffectItemInteger* getLayerRange() override;
    void controlVideo(Render::RenderContext& context) override;
};

}  // namespace Effect
