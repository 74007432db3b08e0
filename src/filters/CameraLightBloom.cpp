#include "filters/CameraLightBloom.h"

namespace Effect {

CameraLightBloom::CameraLightBloom() {
    role = kFilter;
    media = kCamera;
    placement = kCamera;
    menuGroup = L"カメラ制御";
}

void CameraLightBloom::createCommonResource() { resource = ShaderResource::create(2, 16); }

void CameraLightBloom::controlVideo(Render::RenderContext&) {
    pending_.report("Effect::CameraLightBloom::controlVideo");
}

}  // namespace Effect
