#include "script/ScriptPlugin.h"

#include "effect/ScriptMovement.h"
#include "script/ScriptPluginInstance.h"

namespace Plugin {

double ScriptPlugin::executeMovement(const Effect::ScriptMovement& movement, const Effect::EffectItemNumber& item,
                                     const Render::SectionPosition& position, Render::RenderContext& context) {
    const std::unique_ptr<ScriptPluginInstance> instance = createMovementInstance(movement, item, position, context);
    return instance->executeMovement(movement.scriptText);
}

}  // namespace Plugin
