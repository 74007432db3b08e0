#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemNumber.h"
#include "effects/ShaderResource.h"

namespace Effect {

// Lights the object by its silhouette: light of a colour spreads from the
// shape inward over the object and outward behind it; with backlight the
// inner light comes from the transparent surroundings.
class LightFilter : public EffectClass<LightFilter> {
public:
    static constexpr const wchar_t* kName = L"ライト";

    struct Constant {
        float color[4];
        int32_t range;  // box radius
        float divive;   // weight of the box sum
    };

    EffectItemNumber strength{&items, L"強さ", 100, 0, 300, 0.1};
    EffectItemNumber diffusion{&items, L"拡散", 25, 0, 500, 1};
    EffectItemNumber ratio{&items, L"比率", 0, -100, 100, 0.1};
    EffectItemCheck backlight{&items, L"逆光"};
    EffectItemColor color{&items, L"色", 255, 255, 255};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    LightFilter();
    void createCommonResource() override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
};

}  // namespace Effect
