#pragma once
#include "script/ScriptEffect.h"

namespace Effect {

// A scene change made by a script.
// One is registered per script of its kind of script file.
class SceneChangeScript : public ScriptEffect {
public:
    explicit SceneChangeScript(const wchar_t* scriptName);
    std::shared_ptr<EffectBase> createInstance() const override;
    // Asks for the frame from before the object began, as the built-in scene change does.
    void preInputVideo(Render::RenderContext& context) override;
    OutputView getOutputView(Render::RenderContext& context) override;
    // Runs the script on a copy of the before frame with the progress set;
    // the frame keeps whatever the script drew. Failures are logged.
    void controlVideo(Render::RenderContext& context) override;
};

}  // namespace Effect
