#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectItemNumber.h"
#include "platform/math/Vector.h"

namespace Effect {

// A parallel light of the camera.
class CameraLight : public EffectClass<CameraLight> {
public:
    static constexpr const wchar_t* kName = L"並行光源(カメラ制御)";

    EffectItemNumber latitude{&items, L"緯度", 0, -3600, 3600, 0.01};
    EffectItemNumber longitude{&items, L"経度", 0, -3600, 3600, 0.01};
    EffectItemNumber tilt{&items, L"傾き", 0, -3600, 3600, 0.01};
    EffectItemNumber brightness{&items, L"明るさ", 50, 0, 200, 0.01};
    EffectItemColor color{&items, L"色", 255, 255, 255};

    CameraLight();
    // Adds the light to the lights of the frame being drawn.
    void preInputVideo(Render::RenderContext& context) override;
    // The unit direction toward the light for the three angles in degrees.
    static Platform::math::Float3 direction(double latitude, double longitude, double tilt);
};

}  // namespace Effect
