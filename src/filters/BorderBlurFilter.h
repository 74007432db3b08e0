#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemNumber.h"
#include "effects/ShaderResource.h"

namespace Effect {

// Fades the image out toward its borders, or softens the edge of its opaque
// shape inward.
class BorderBlurFilter : public EffectClass<BorderBlurFilter> {
public:
    static constexpr const wchar_t* kName = L"境界ぼかし";

    // The shared constant record of its passes.
    struct Constant {
        int32_t range[2];  // horizontal and vertical radius
        float divive[2];   // 1 / (2 radius + 1) of each
    };

    EffectItemNumber range{&items, L"範囲", 5, 0, 1000, 1};
    EffectItemNumber aspect{&items, L"縦横比", 0, -100, 100, 0.01};
    EffectItemCheck alphaBorder{&items, L"透明度の境界をぼかす"};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    BorderBlurFilter();
    void createCommonResource() override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
};

}  // namespace Effect
