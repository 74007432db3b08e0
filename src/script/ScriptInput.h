#pragma once
#include "script/ScriptEffect.h"

namespace Effect {

// A custom object: its script makes the object's image.
// One is registered per script of its kind of script file.
class ScriptInput : public ScriptEffect {
public:
    explicit ScriptInput(const wchar_t* scriptName);
    std::shared_ptr<EffectBase> createInstance() const override;
    std::shared_ptr<Media::ResourceBuffer> inputVideo(Render::RenderContext& context) override;
};

}  // namespace Effect
