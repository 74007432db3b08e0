#include "filters/CameraLight.h"

namespace Effect {

CameraLight::CameraLight() {
    role = kFilter;
    media = kCamera;
    placement = kCamera;
    menuGroup = L"カメラ制御";
}

void CameraLight::preInputVideo(Render::RenderContext&) { pending_.report("Effect::CameraLight::preInputVideo"); }

}  // namespace Effect
