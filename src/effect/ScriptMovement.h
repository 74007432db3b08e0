#pragma once
#include <memory>
#include <string>

#include "effect/MovementBase.h"
#include "effect/ScriptMovementRunner.h"

namespace Effect {

// A movement defined by a script; its header directives set its defaults.
class ScriptMovement : public MovementBase {
public:
    std::wstring scriptName;  // `name` points at it
    std::wstring label;
    std::wstring information;
    std::wstring folder;  // of the script's file
    std::string scriptText;  // UTF-8
    std::wstring engineName;
    std::shared_ptr<ScriptMovementRunner> engine;

    ScriptMovement(std::wstring scriptName, std::string scriptText);

    // Reads the header: "--twopoint", "--speed", "--param", "--timecontrol",
    // "--script", "--label" (into label when given), "--information", and
    // "--[[" block comments. Without "--script" the default engine runs it.
    void makeScriptParams(std::wstring* labelOut, const std::wstring& defaultEngine);

    // A failing run is logged ("script exception: %s") and gives 0.
    double getValue(const EffectItemNumber& item, const Render::SectionPosition& position,
                    Render::RenderContext& context) const override;

    static void setEngineFinder(ScriptEngineFinder finder);
};

}  // namespace Effect
