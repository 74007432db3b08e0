#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemNumber.h"
#include "effects/ShaderResource.h"

namespace Effect {

// Smooths the pixels that differ little from their neighbours.
class NoiseReductionFilter : public EffectClass<NoiseReductionFilter> {
public:
    static constexpr const wchar_t* kName = L"ノイズ除去";

    EffectItemNumber strength{&items, L"強さ", 100, 0, 100, 0.1};
    EffectItemNumber range{&items, L"範囲", 2, 1, 8, 1};
    EffectItemNumber threshold{&items, L"しきい値", 20, 0, 200, 1};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    NoiseReductionFilter();
    void createCommonResource() override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
};

}  // namespace Effect
