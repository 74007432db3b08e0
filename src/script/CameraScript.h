#pragma once
#include "script/ScriptEffect.h"

namespace Effect {

// A camera effect: a filter of the camera pass.
// One is registered per script of its kind of script file.
class CameraScript : public ScriptEffect {
public:
    explicit CameraScript(const wchar_t* scriptName);
    std::shared_ptr<EffectBase> createInstance() const override;
    // Runs the script with the context at the start of the camera pass; a
    // failing script is logged and the frame goes on.
    void preInputVideo(Render::RenderContext& context) override;
};

}  // namespace Effect
