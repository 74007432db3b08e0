#include "effects/CameraControl.h"

#include "core/Exception.h"
#include "effects/ShaderResource.h"

namespace Effect {

CameraControl::CameraControl() {
    name = L"カメラ制御";
    role = kControl;
    media = kVideo;
    placement = kVideo;
    targetLayer.placeholder = L"---";
    fieldOfView.placeholder = L"既定値";
    menuGroup = L"オブジェクト制御";
    placement = kCamera;
}

std::shared_ptr<EffectBase> CameraControl::createInstance() const { return std::make_shared<CameraControl>(); }

void CameraControl::createCommonResource() { resource = ShaderResource::create(1, 16); }

void CameraControl::shareResource(const EffectBase& prototype) {
    resource = dynamic_cast<const CameraControl&>(prototype).resource;
}

EffectItemInteger* CameraControl::getLayerRange() { return &layers; }

void CameraControl::controlVideo(Render::RenderContext&) {
    throw System::notImplementException("Effect::CameraControl::controlVideo");
}

}  // namespace Effect
