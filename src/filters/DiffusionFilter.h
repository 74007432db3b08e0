#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemNumber.h"
#include "effects/ShaderResource.h"

namespace Effect {

// A soft, bright haze spread from the image over itself.
class DiffusionFilter : public EffectClass<DiffusionFilter> {
public:
    static constexpr const wchar_t* kName = L"拡散光";

    EffectItemNumber strength{&items, L"強さ", 50, 0, 100, 0.1};
    EffectItemNumber diffusion{&items, L"拡散", 12, 0, 500, 1};
    EffectItemCheck fixedSize{&items, L"サイズ固定"};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    DiffusionFilter();
    void createCommonResource() override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
};

}  // namespace Effect
