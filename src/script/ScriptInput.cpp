#include "script/ScriptInput.h"

namespace Effect {

ScriptInput::ScriptInput(const wchar_t* scriptName) : ScriptEffect(scriptName, kInput, kVideo) {
    menuGroup = L"カスタムオブジェクト";
}

std::shared_ptr<EffectBase> ScriptInput::createInstance() const { return std::make_shared<ScriptInput>(name); }

std::shared_ptr<Media::ResourceBuffer> ScriptInput::inputVideo(Render::RenderContext& context) {
    return runScript(context, nullptr, "Effect::ScriptInput::inputVideo");
}

}  // namespace Effect
