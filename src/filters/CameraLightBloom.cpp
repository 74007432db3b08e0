#include "filters/CameraLightBloom.h"

namespace Effect {

CameraLightBloom::CameraLightBloom() {
    name = L"ライトブルーム(カメラ制御)";
    role = kFilter;
    media = kCamera;
    placement = kCamera;
    menuGroup = L"カメラ制御";
}

std::shared_ptr<EffectBase> CameraLightBloom::createInstance() const { return std::make_shared<CameraLightBloom>(); }

void CameraLightBloom::createCommonResource() { resource = ShaderResource::create(2, 16); }

void CameraLightBloom::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const CameraLightBloom&>(prototype).resource;
}

void CameraLightBloom::controlVideo(Render::RenderContext&) {
    pending_.report("Effect::CameraLightBloom::controlVideo");
}

}  // namespace Effect
