#include "script/SceneChangeScript.h"

namespace Effect {

SceneChangeScript::SceneChangeScript(const wchar_t* scriptName) : ScriptEffect(scriptName, kControl, kVideo) {
    menuGroup = L"シーンチェンジ";
}

std::shared_ptr<EffectBase> SceneChangeScript::createInstance() const {
    return std::make_shared<SceneChangeScript>(name);
}

}  // namespace Effect
