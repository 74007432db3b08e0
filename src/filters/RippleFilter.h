#pragma once
#include "effect/MoveXYAnchorEffect.h"
#include "effect/EffectClass.h"
#include "effect/EffectItemGroup.h"
#include "effect/EffectItemInteger.h"
#include "effect/EffectItemNumber.h"
#include "effects/ShaderResource.h"

namespace Effect {

// Pushes the pixels along the radius from a centre by expanding waves.
class RippleFilter : public EffectClass<RippleFilter, MoveXYAnchorEffect> {
public:
    static constexpr const wchar_t* kName = L"波紋";

    EffectItemNumber centerX{&items, L"中心X", 0, -5000, 5000, 0.1};
    EffectItemNumber centerY{&items, L"中心Y", 0, -5000, 5000, 0.1};
    EffectItemNumber width{&items, L"幅", 30, 1, 400, 0.1};
    EffectItemNumber height{&items, L"高さ", 15, -400, 400, 0.1};
    EffectItemNumber speed{&items, L"速度", 150, -2000, 2000, 0.1};
    EffectItemInteger count{&items, L"波紋数", 0, 0, 100};
    EffectItemInteger interval{&items, L"波紋間隔", 0, 0, 100};
    EffectItemInteger amplify{&items, L"増幅減衰回数", 0, -100, 100};
    EffectItemGroup center{{&centerX, &centerY}};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    RippleFilter();
    void createCommonResource() override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
};

}  // namespace Effect
