#include "filters/CameraLightAmbient.h"

namespace Effect {

CameraLightAmbient::CameraLightAmbient() {
    role = kFilter;
    media = kCamera;
    placement = kCamera;
    menuGroup = L"カメラ制御";
}

void CameraLightAmbient::preInputVideo(Render::RenderContext&) {
    pending_.report("Effect::CameraLightAmbient::preInputVideo");
}

}  // namespace Effect
