#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemNumber.h"

namespace Effect {

// The ambient light of the camera.
class CameraLightAmbient : public EffectClass<CameraLightAmbient> {
public:
    static constexpr const wchar_t* kName = L"環境光(カメラ制御)";

    EffectItemNumber brightness{&items, L"明るさ", 50, 0, 200, 0.01};
    EffectItemColor color{&items, L"色", 255, 255, 255};

    CameraLightAmbient();
    // Adds the light to the lights of the frame being drawn.
    void preInputVideo(Render::RenderContext& context) override;
};

}  // namespace Effect
