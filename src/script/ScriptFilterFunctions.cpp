#include <string>

#include "core/Log.h"
#include "core/TextConvert.h"
#include "effect/EffectBase.h"
#include "effect/EffectItem.h"
#include "effect/EffectService.h"
#include "effect/RenderContext.h"
#include "media/gpu/ResourceBuffer.h"
#include "render/VideoPass.h"
#include "script/LuaInstance.h"
#include "script/LuaModule.h"
#include "script/ScriptEffect.h"
#include "script/ScriptFunctions.h"

namespace Plugin::ScriptLibrary {

namespace {

// The engine's string form of an argument (numbers as the engine prints them).
std::string_view textOf(ScriptCall& call, int index, bool& number) {
    number = call.type(index) == Lua::kTypeNumber;
    if (call.type(index) == Lua::kTypeBoolean) return call.boolean(index) ? "true" : "false";
    size_t length = 0;
    const char* text = call.lua->lua_tolstring(call.state, index, &length);
    return text ? std::string_view(text, length) : std::string_view();
}

}  // namespace

int effect(ScriptCall& call) {
    const bool named = call.count >= 1;
    const std::string_view name = named ? call.string(1) : std::string_view();
    // Item names are checked before anything with a destructor exists.
    for (int at = 2; at + 1 <= call.count; at += 2) (void)call.string(at);
    Render::RenderContext& context = call.renderContext();
    LuaInstance& instance = *call.instance;
    if (!instance.objectImage() || instance.objectImage()->width == 0 || instance.objectImage()->height == 0)
        return 0;
    const wchar_t* scope = instance.record().name.c_str();

    std::shared_ptr<Effect::EffectBase> filter;
    if (named) {
        const Effect::EffectService* service = Effect::EffectService::get();
        const std::wstring wide = System::utf8ToWide(std::string(name));
        if (service != nullptr) filter = service->getEffect(wide);
        if (!filter || filter->role != Effect::EffectBase::kFilter ||
            (filter->media != Effect::EffectBase::kVideo && filter->media != Effect::EffectBase::kVideoAudio)) {
            System::Log::script(scope, "invalid filter effect. effect=%s", std::string(name).c_str());
            return 0;
        }
        for (int at = 2; at + 1 <= call.count; at += 2) {
            const std::string item(call.string(at));
            bool number = false;
            const std::string_view value = textOf(call, at + 1, number);
            if (Effect::EffectItem* found = filter->findItemByName(System::utf8ToWide(item))) {
                found->fromString(value);
            } else if (Effect::EffectItem* old = filter->findItemByOldName(item)) {
                old->fromKtoString(value, item, wide.c_str(), number);
            } else {
                System::Log::script(scope, "invalid filter effect param. effect=%s param=%s",
                                    std::string(name).c_str(), item.c_str());
            }
        }
    }
    {
        LuaInstance::VariableAccessSection section(instance);
        instance.getObjectVariables();
    }
    std::shared_ptr<Media::ResourceBuffer> image = instance.takeObjectImage();
    if (filter) {
        image = filter->filterVideo(context, std::move(image));
    } else {
        Effect::ScriptEffect& own = instance.getEffect();
        image = Render::VideoPass::applyFilters(context, std::move(image), &own, nullptr);
    }
    instance.setObjectImage(std::move(image));
    instance.pixelCopy.reset();
    {
        LuaInstance::VariableAccessSection section(instance);
        instance.setObjectVariables();
    }
    return 0;
}

}  // namespace Plugin::ScriptLibrary
