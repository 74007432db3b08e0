#include "script/CameraScript.h"

namespace Effect {

CameraScript::CameraScript(const wchar_t* scriptName) : ScriptEffect(scriptName, kFilter, kCamera) {
    menuGroup = L"カメラ効果";
}

std::shared_ptr<EffectBase> CameraScript::createInstance() const { return std::make_shared<CameraScript>(name); }

void CameraScript::preInputVideo(Render::RenderContext& context) {
    (void)runScript(context, nullptr, "Effect::CameraScript::preInputVideo");
}

}  // namespace Effect
