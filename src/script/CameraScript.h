#pragma once
#include "script/ScriptEffect.h"

namespace Effect {

// A camera effect: a filter of the camera pass.
// One is registered per script of its kind of script file.
class CameraScript : public ScriptEffect {
public:
    explicit CameraScript(const wchar_t* scriptName);
    std::shared_ptr<EffectBase> createInstance() const override;
};

}  // namespace Effect
