#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemNumber.h"
#include "effects/ShaderResource.h"

namespace Effect {

// Raises the object's edges as if lit from one side.
class BevelFilter : public EffectClass<BevelFilter> {
public:
    static constexpr const wchar_t* kName = L"凸エッジ";

    struct Constant {
        float step[2];  // unit direction toward the light
        float depth;
        int32_t sampleNum;
    };

    EffectItemNumber width{&items, L"幅", 4, 0, 100, 1};
    EffectItemNumber height{&items, L"高さ", 1, 0, 3, 0.01};
    EffectItemNumber angle{&items, L"角度", 45, -3600, 3600, 0.01};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    BevelFilter();
    void createCommonResource() override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
};

}  // namespace Effect
