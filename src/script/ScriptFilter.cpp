#include "script/ScriptFilter.h"

namespace Effect {

ScriptFilter::ScriptFilter(const wchar_t* scriptName) : ScriptEffect(scriptName, kFilter, kVideo) {
    menuGroup = L"アニメーション効果";
}

std::shared_ptr<EffectBase> ScriptFilter::createInstance() const { return std::make_shared<ScriptFilter>(name); }

std::shared_ptr<Media::ResourceBuffer> ScriptFilter::filterVideo(Render::RenderContext& context,
                                                                 std::shared_ptr<Media::ResourceBuffer> image) {
    return runScript(context, std::move(image), "Effect::ScriptFilter::filterVideo");
}

}  // namespace Effect
