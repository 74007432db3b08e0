#pragma once
#include <vector>

#include "effect/EffectClass.h"
#include "effect/EffectItemNumber.h"
#include "effects/ShaderResource.h"

namespace Effect {

// A bloom over the parts of the frame brighter than white.
class CameraLightBloom : public EffectClass<CameraLightBloom> {
public:
    static constexpr const wchar_t* kName = L"ライトブルーム(カメラ制御)";

    EffectItemNumber strength{&items, L"強さ", 100, 0, 500, 0.1};
    EffectItemNumber diffusion{&items, L"拡散", 400, 0, 2000, 1};
    // The class-wide resource: made once for the prototype, shared by every instance.
    std::shared_ptr<ShaderResource> resource;

    CameraLightBloom();
    void createCommonResource() override;
    void controlVideo(Render::RenderContext& context) override;
    // One separable box blur of the image through the scratch image.
    void blur(Media::ResourceBuffer& image, Media::ResourceBuffer& scratch, int32_t radius);
    // The radii of the blurs for a diffusion in pixels: the first twice before
    // anything is added, then one per added layer.
    static std::vector<int32_t> radii(int32_t diffusion);
};

}  // namespace Effect
