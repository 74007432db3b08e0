#pragma once
#include "script/ScriptEffect.h"

namespace Effect {

// A scene change made by a script.
// One is registered per script of its kind of script file.
class SceneChangeScript : public ScriptEffect {
public:
    explicit SceneChangeScript(const wchar_t* scriptName);
    std::shared_ptr<EffectBase> createInstance() const override;
};

}  // namespace Effect
