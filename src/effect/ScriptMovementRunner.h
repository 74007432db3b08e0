#pragma once
#include <memory>
#include <string>

namespace Render {
class RenderContext;
struct SectionPosition;
}  // namespace Render

namespace Effect {

class EffectItemNumber;
class ScriptMovement;

// The script engine as a movement script sees it: one run of the script text
// for an item at a position, giving the number the script returns. Failures
// are standard exceptions. The script host provides the engines.
class ScriptMovementRunner {
public:
    virtual ~ScriptMovementRunner() = default;
    virtual double executeMovement(const ScriptMovement& movement, const EffectItemNumber& item,
                                   const Render::SectionPosition& position, Render::RenderContext& context) = 0;
};

// Finds the engine of that name; throws the script service's failure for a
// name it does not know. Installed by the script service.
using ScriptEngineFinder = std::shared_ptr<ScriptMovementRunner> (*)(const std::wstring& engineName);

}  // namespace Effect
