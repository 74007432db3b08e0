#include "script/TextInlineScripts.h"

#include "core/Exception.h"
#include "core/TextConvert.h"
#include "effect/RenderContext.h"
#include "script/ScriptEffect.h"
#include "script/ScriptPluginInstance.h"
#include "script/ScriptService.h"

namespace Plugin {

namespace {

// The script effect an inline block runs as: no parameters, the text
// object's name, the default engine.
class InlineScriptEffect : public Effect::ScriptEffect {
public:
    InlineScriptEffect(const wchar_t* scriptName, uint8_t mediaCode) : ScriptEffect(scriptName, kInput, mediaCode) {
        createCommonResource();
        commonResource().name = scriptName;
    }
    std::shared_ptr<EffectBase> createInstance() const override { return nullptr; }
};

}  // namespace

TextInlineScripts::TextInlineScripts() : previous_(Effect::TextInput::setInlineScripts(this)) {}

TextInlineScripts::~TextInlineScripts() { Effect::TextInput::setInlineScripts(previous_); }

std::wstring TextInlineScripts::run(Effect::TextInput& effect, const std::wstring& code,
                                    Render::RenderContext* context) {
    return runBlock(effect.name, code, context);
}

std::wstring TextInlineScripts::runBlock(const wchar_t* scriptName, const std::wstring& code,
                                         Render::RenderContext* context) {
    ScriptService* service = ScriptService::get();
    if (service == nullptr)
        throw System::messageException("Plugin::ScriptService::findScriptPlugin", "not found script plugin.", "luaJIT");
    // Measuring has no object: the run gets an empty context and exchanges
    // only the values every run has.
    Render::RenderContext blank;
    InlineScriptEffect effect(scriptName, context != nullptr ? Effect::EffectBase::kVideo : 0);
    const std::unique_ptr<ScriptPluginInstance> instance =
        service->findScriptPlugin()->createEffectInstance(effect, context != nullptr ? *context : blank);
    instance->executeEffect(System::wideToUtf8(code));
    return instance->messageText;
}

}  // namespace Plugin
