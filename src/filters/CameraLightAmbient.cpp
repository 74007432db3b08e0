#include "filters/CameraLightAmbient.h"

namespace Effect {

CameraLightAmbient::CameraLightAmbient() {
    name = L"環境光(カメラ制御)";
    role = kFilter;
    media = kCamera;
    placement = kCamera;
    menuGroup = L"カメラ制御";
}

std::shared_ptr<EffectBase> CameraLightAmbient::createInstance() const {
    return std::make_shared<CameraLightAmbient>();
}

void CameraLightAmbient::preInputVideo(Render::RenderContext&) {
    pending_.report("Effect::CameraLightAmbient::preInputVideo");
}

}  // namespace Effect
