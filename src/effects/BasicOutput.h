#pragma once
#include "effect/MoveEffect.h"
#include "effect/EffectItemGroup.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemSelect.h"
#include "effects/BlendModeList.h"
#include "effects/OutputShaderEffect.h"
#include "effects/ShaderResource.h"

namespace Effect {

// Base of the outputs that place the object in the scene: position, centre,
// rotation, zoom, aspect, opacity and blend mode.
class BasicOutput : public MoveEffect, public OutputShaderEffect {
public:
    EffectItemNumber x{&items, L"X", 0, -100000, 100000, 0.01};
    EffectItemNumber y{&items, L"Y", 0, -100000, 100000, 0.01};
    EffectItemNumber z{&items, L"Z", 0, -100000, 100000, 0.01};
    EffectItemNumber centerX{&items, L"中心X", 0, -5000, 5000, 0.01};
    EffectItemNumber centerY{&items, L"中心Y", 0, -5000, 5000, 0.01};
    EffectItemNumber centerZ{&items, L"中心Z", 0, -5000, 5000, 0.01};
    EffectItemNumber angleX{&items, L"X軸回転", 0, -3600, 3600, 0.01};
    EffectItemNumber angleY{&items, L"Y軸回転", 0, -3600, 3600, 0.01};
    EffectItemNumber angleZ{&items, L"Z軸回転", 0, -3600, 3600, 0.01};
    EffectItemNumber zoom{&items, L"拡大率", 100, 0, 10000, 0.001};
    EffectItemNumber aspect{&items, L"縦横比", 0, -100, 100, 0.001};
    EffectItemNumber alpha{&items, L"透明度", 0, 0, 100, 0.01};
    EffectItemSelect blend{&items, L"合成モード", 0, blendModeList()};
    EffectItemGroup position{{&x, &y, &z}};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    BasicOutput(const wchar_t* effectName, uint8_t effectMedia);
    void createCommonResource() override;
    void outputVideo(Render::RenderContext& context, Media::RenderBuffer& target,
                     std::shared_ptr<Media::ResourceBuffer> image) override;
    OutputView getOutputView(Render::RenderContext& context) override;
};

}  // namespace Effect
