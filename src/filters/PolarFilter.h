#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemNumber.h"
#include "effects/ShaderResource.h"

namespace Effect {

// Wraps the image around a centre into a disc.
class PolarFilter : public EffectClass<PolarFilter> {
public:
    static constexpr const wchar_t* kName = L"極座標変換";

    EffectItemNumber centerWidth{&items, L"中心幅", 0, 0, 2000, 1};
    EffectItemNumber zoom{&items, L"拡大率", 100, 100, 800, 0.01};
    EffectItemNumber angle{&items, L"回転", 0, -3600, 3600, 0.01};
    EffectItemNumber swirl{&items, L"渦巻", 0, -8, 8, 0.001};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    PolarFilter();
    void createCommonResource() override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
};

}  // namespace Effect
