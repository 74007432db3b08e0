#include "script/SceneChangeScript.h"

#include <cstddef>

#include "core/Exception.h"
#include "core/Log.h"
#include "edit/Object.h"
#include "effect/AnchorList.h"
#include "effect/RenderContext.h"
#include "effects/SceneChange.h"
#include "media/gpu/ResourceBuffer.h"
#include "render/RenderVideoWorker.h"
#include "script/ScriptPlugin.h"
#include "script/ScriptPluginInstance.h"

namespace Effect {

SceneChangeScript::SceneChangeScript(const wchar_t* scriptName) : ScriptEffect(scriptName, kControl, kVideo) {
    menuGroup = L"シーンチェンジ";
}

std::shared_ptr<EffectBase> SceneChangeScript::createInstance() const {
    return std::make_shared<SceneChangeScript>(name);
}

void SceneChangeScript::preInputVideo(Render::RenderContext& context) { SceneChange::requestBeforeFrame(context); }

OutputView SceneChangeScript::getOutputView(Render::RenderContext& context) { return context.view; }

void SceneChangeScript::controlVideo(Render::RenderContext& context) {
    constexpr const char* kScope = "Effect::SceneChangeScript::controlVideo";
    Media::RenderBuffer* rendered = SceneChange::beforeFrame(context, kScope);
    if (!rendered) return;
    // The script shows no handles of its own: whatever it adds is dropped
    // afterwards, while the handles of the layers below stay.
    Anchor::AnchorList* anchors = context.anchorList;
    const size_t anchorsBefore = anchors ? anchors->size() : 0;
    try {
        const std::shared_ptr<Plugin::ScriptPlugin> engine = commonResource().engine;
        if (!engine)
            throw System::messageException("Plugin::ScriptService::findScriptPlugin", "not found script plugin.");
        const std::unique_ptr<Plugin::ScriptPluginInstance> instance = engine->createEffectInstance(*this, context);
        instance->setObjectImage(rendered->createResourceBuffer(true));
        if (context.object)
            instance->sceneChangeProgress =
                SceneChange::progressAt(context.frame, context.object->start, context.object->end);
        instance->executeEffect(commonResource().scriptText);
    } catch (const std::exception& e) {
        System::Log::warn(kScope, "script exception: %s", e.what());
    }
    if (anchors && anchors->size() > anchorsBefore)
        anchors->items.erase(anchors->items.begin() + static_cast<std::ptrdiff_t>(anchorsBefore), anchors->items.end());
}

}  // namespace Effect
