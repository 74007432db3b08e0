#pragma once
#include <memory>
#include <string>

#include "edit/Object.h"
#include "effect/EffectItemNumber.h"
#include "effect/RenderContext.h"
#include "effect/ScriptMovement.h"
#include "effect/SectionPosition.h"
#include "script/LuaJitScript.h"
#include "script/LuaScript.h"
#include "script/ScriptPluginInstance.h"

// An engine of class T as the script service registers it, or with another
// library file.
template <class T>
std::shared_ptr<Plugin::LuaBase> makeEngine(const wchar_t* moduleFile = T::kModuleFile) {
    auto engine = std::make_shared<T>();
    engine->name = T::kName;
    engine->description = T::kDescription;
    engine->moduleFile = moduleFile;
    return engine;
}

// What a movement run needs besides its script.
struct MovementRun {
    Effect::EffectItemNumber item{nullptr, L"x", 0, 0, 100, 1};
    Render::SectionPosition position{};
    Render::RenderContext context;

    double run(Plugin::ScriptPlugin& engine, const std::string& text) {
        Effect::ScriptMovement movement(L"test", text);
        return engine.executeMovement(movement, item, position, context);
    }
    std::unique_ptr<Plugin::ScriptPluginInstance> instance(Plugin::ScriptPlugin& engine,
                                                           const Effect::ScriptMovement& movement) {
        return engine.createMovementInstance(movement, item, position, context);
    }
};
