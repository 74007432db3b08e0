#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemNumber.h"
#include "filters/PendingRenderStep.h"

namespace Effect {

// The ambient light of the camera.
class CameraLightAmbient : public EffectClass<CameraLightAmbient> {
public:
    static constexpr const wchar_t* kName = L"環境光(カメラ制御)";

    EffectItemNumber brightness{&items, L"明るさ", 50, 0, 200, 0.01};
    EffectItemColor color{&items, L"色", 255, 255, 255};

    CameraLightAmbient();
    void preInputVideo(Render::RenderContext& context) override;

private:
    // Until the filter draws, its step hands the input on and says so once.
    PendingRenderStep pending_;
};

}  // namespace Effect
