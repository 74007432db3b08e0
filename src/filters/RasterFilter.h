#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemNumber.h"
#include "effects/ShaderResource.h"

namespace Effect {

// Shifts each row or column sideways by a travelling wave.
class RasterFilter : public EffectClass<RasterFilter> {
public:
    static constexpr const wchar_t* kName = L"ラスター";

    EffectItemNumber width{&items, L"横幅", 100, 0, 2000, 1};
    EffectItemNumber height{&items, L"高さ", 100, 0, 2000, 1};
    EffectItemNumber cycle{&items, L"周期", 1, -40, 40, 0.01};
    EffectItemCheck vertical{&items, L"縦ラスター"};
    EffectItemCheck randomAmplitude{&items, L"ランダム振幅"};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    RasterFilter();
    void createCommonResource() override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
};

}  // namespace Effect
