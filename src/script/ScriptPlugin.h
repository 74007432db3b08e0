#pragma once
#include <memory>
#include <string>

#include "effect/ScriptMovementRunner.h"

namespace Effect {
class ScriptEffect;
}

namespace Plugin {

class ScriptPluginInstance;

// A script engine as the script service registers it. Every run of a script
// asks its engine for an instance, uses it once and destroys it.
class ScriptPlugin : public Effect::ScriptMovementRunner {
public:
    ScriptPlugin() = default;
    ScriptPlugin(const ScriptPlugin&) = delete;
    ScriptPlugin& operator=(const ScriptPlugin&) = delete;
    ~ScriptPlugin() override = default;

    virtual std::unique_ptr<ScriptPluginInstance> createMovementInstance(const Effect::ScriptMovement& movement,
                                                                         const Effect::EffectItemNumber& item,
                                                                         const Render::SectionPosition& position,
                                                                         Render::RenderContext& context) = 0;
    virtual std::unique_ptr<ScriptPluginInstance> createEffectInstance(Effect::ScriptEffect& effect,
                                                                       Render::RenderContext& context) = 0;

    // One run of a movement script: the number its text returns.
    double executeMovement(const Effect::ScriptMovement& movement, const Effect::EffectItemNumber& item,
                           const Render::SectionPosition& position, Render::RenderContext& context) override;

    std::wstring description;  // shown in the log
    std::string name;          // the registry key
    std::wstring moduleFile;   // the engine library's file name
};

}  // namespace Plugin
