#pragma once
#include "effect/EffectBase.h"
#include "effect/EffectItemGroup.h"
#include "effect/EffectItemLayerObject.h"
#include "effect/EffectItemLayerRange.h"
#include "effect/EffectItemNumber.h"
#include "effects/ShaderResource.h"

namespace Effect {

// Views the objects of the layers after it through a camera: eye, target (a point or a layer) and tilt.
class CameraControl : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"カメラ制御";

    EffectItemNumber x{&items, L"X", 0, -100000, 100000, 0.01};
    EffectItemNumber y{&items, L"Y", 0, -100000, 100000, 0.01};
    EffectItemNumber z{&items, L"Z", -1024, -100000, 100000, 0.01};
    EffectItemNumber targetX{&items, L"目標X", 0, -100000, 100000, 0.01};
    EffectItemNumber targetY{&items, L"目標Y", 0, -100000, 100000, 0.01};
    EffectItemNumber targetZ{&items, L"目標Z", 0, -100000, 100000, 0.01};
    EffectItemLayerObject targetLayer{&items, L"目標レイヤー", 0, 0, 1000, 1};
    EffectItemNumber tilt{&items, L"傾き", 0, -3600, 3600, 0.01};
    EffectItemNumber fieldOfView{&items, L"視野角", 0, 0, 120, 0.01};
    EffectItemLayerRange layers{&items, L"対象レイヤー数", 0, 0, 1000};
    EffectItemGroup position{{&x, &y, &z}};
    EffectItemGroup target{{&targetX, &targetY, &targetZ}};
    // The point on the target layer's object: items of "目標レイヤー", not of the effect.
    ItemList targetLayerItems;
    EffectItemNumber targetLayerX{&targetLayerItems, L"X", 0, -100000, 100000, 0.01};
    EffectItemNumber targetLayerY{&targetLayerItems, L"Y", 0, -100000, 100000, 0.01};
    EffectItemNumber targetLayerZ{&targetLayerItems, L"Z", 0, -100000, 100000, 0.01};
    EffectItemGroup targetLayerPoint{{&targetLayerX, &targetLayerY, &targetLayerZ}};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    CameraControl();
    std::shared_ptr<EffectBase> createInstance() const override;
    void createCommonResource() override;
    void shareResource(const EffectBase& prototype) override;
    EffectItemInteger* getLayerRange() override;
    void controlVideo(Render::RenderContext& context) override;
};

}  // namespace Effect
