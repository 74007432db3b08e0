#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemNumber.h"
#include "effects/ShaderResource.h"
#include "filters/PendingRenderStep.h"

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

private:
    // Until the filter draws, its step hands the input on and says so once.
    PendingRenderStep pending_;
};

}  // namespace Effect
