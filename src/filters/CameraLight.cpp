#include "filters/CameraLight.h"

namespace Effect {

CameraLight::CameraLight() {
    name = L"並行光源(カメラ制御)";
    role = kFilter;
    media = kCamera;
    placement = kCamera;
    menuGroup = L"カメラ制御";
}

std::shared_ptr<EffectBase> CameraLight::createInstance() const { return std::make_shared<CameraLight>(); }

void CameraLight::preInputVideo(Render::RenderContext&) { pending_.report("Effect::CameraLight::preInputVideo"); }

}  // namespace Effect
