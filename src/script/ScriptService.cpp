#include "script/ScriptService.h"

#include <typeinfo>

#include "core/ErrorPresenter.h"
#include "core/Exception.h"
#include "core/Log.h"
#include "core/ServiceHolder.h"
#include "core/TextConvert.h"
#include "effect/EffectService.h"
#include "effect/ScriptMovement.h"
#include "script/LuaJitScript.h"
#include "script/LuaScript.h"
#include "script/ScriptEditRunner.h"
#include "script/ScriptFileRegistrar.h"
#include "script/TextInlineScripts.h"

namespace Plugin {

namespace {

constexpr const char* kDefaultEngine = "luaJIT";

// How a movement script finds its engine by name.
std::shared_ptr<Effect::ScriptMovementRunner> findMovementEngine(const std::wstring& name) {
    ScriptService* service = ScriptService::get();
    if (service == nullptr)
        throw System::messageException("Plugin::ScriptService::findScriptPlugin", "not found script plugin.",
                                       System::wideToUtf8(name).c_str());
    return service->findScriptPlugin(System::wideToUtf8(name));
}

template <class Engine>
void registerGuarded(ScriptService& service) {
    try {
        service.registerPlugin<Engine>();
    } catch (const std::exception& e) {
        const std::string text = "failed to register script plugin. [" +
                                 Effect::EffectService::typeName(typeid(Engine)) + "]\n\n" + e.what();
        System::presentError(System::utf8ToWide(text));
    }
}

}  // namespace

ScriptService::ScriptService() {
    registerGuarded<LuaScript>(*this);
    registerGuarded<LuaJitScript>(*this);
    Effect::ScriptMovement::setEngineFinder(findMovementEngine);
    inlineScripts_ = std::make_unique<TextInlineScripts>();
    fileRegistrar_ = std::make_unique<ScriptFileRegistrar>();
    editRunner_ = std::make_unique<ScriptEditRunner>();
}

ScriptService::~ScriptService() {
    editRunner_.reset();
    fileRegistrar_.reset();
    inlineScripts_.reset();
    Effect::ScriptMovement::setEngineFinder(nullptr);
}

ScriptService* ScriptService::get() { return System::ServiceSlot<ScriptService>::instance; }

template <class Engine>
void ScriptService::registerPlugin() {
    auto engine = std::make_shared<Engine>();
    engine->name = Engine::kName;
    engine->description = Engine::kDescription;
    engine->moduleFile = Engine::kModuleFile;
    registerPlugin(std::move(engine));
}

template void ScriptService::registerPlugin<LuaScript>();
template void ScriptService::registerPlugin<LuaJitScript>();

void ScriptService::registerPlugin(std::shared_ptr<ScriptPlugin> engine) {
    const std::wstring description = engine->description;
    plugins_.try_emplace(engine->name, std::move(engine));
    System::Log::info("Plugin::ScriptService::registerPlugin", L"register script plugin [%ls]", description.c_str());
}

std::shared_ptr<ScriptPlugin> ScriptService::findScriptPlugin() const { return findScriptPlugin(kDefaultEngine); }

std::shared_ptr<ScriptPlugin> ScriptService::findScriptPlugin(const std::string& name) const {
    const auto found = plugins_.find(name);
    if (found == plugins_.end())
        throw System::messageException("Plugin::ScriptService::findScriptPlugin", "not found script plugin.",
                                       name.c_str());
    return found->second;
}

}  // namespace Plugin
