#include "script/ScriptEditRunner.h"

#include "core/Log.h"
#include "core/TextConvert.h"
#include "media/gpu/ResourceBuffer.h"
#include "script/ScriptEffect.h"
#include "script/ScriptService.h"

namespace Plugin {

namespace {

constexpr const char* kScope = "Effect::ScriptEdit::filterVideo";

// The script effect the typed text runs as: no parameters, the filter's
// name, the default engine.
class TypedScriptEffect : public Effect::ScriptEffect {
public:
    TypedScriptEffect(const wchar_t* filterName, std::string text) : ScriptEffect(filterName, kFilter, kVideo) {
        createCommonResource();
        commonResource().name = filterName;
        commonResource().scriptText = std::move(text);
        // The typed text is no script file: it carries no shaders.
        commonResource().shaderMap = std::make_shared<CommonResource::ShaderMap>();
    }
    std::shared_ptr<EffectBase> createInstance() const override { return nullptr; }
};

}  // namespace

ScriptEditRunner::ScriptEditRunner() : previous_(Effect::ScriptEdit::setRunner(this)) {}

ScriptEditRunner::~ScriptEditRunner() { Effect::ScriptEdit::setRunner(previous_); }

std::shared_ptr<Media::ResourceBuffer> ScriptEditRunner::run(Effect::ScriptEdit& effect, Render::RenderContext& context,
                                                             std::shared_ptr<Media::ResourceBuffer> image) {
    TypedScriptEffect typed(effect.name, System::wideToUtf8(effect.script.text));
    try {
        if (ScriptService* service = ScriptService::get()) typed.commonResource().engine = service->findScriptPlugin();
    } catch (const std::exception& e) {
        System::Log::warn(kScope, "script exception: %s", e.what());
        return nullptr;
    }
    return typed.runScript(context, std::move(image), kScope);
}

}  // namespace Plugin
