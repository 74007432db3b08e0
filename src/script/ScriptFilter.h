#pragma once
#include "script/ScriptEffect.h"

namespace Effect {

// An animation effect: its script works on the object's image.
// One is registered per script of its kind of script file.
class ScriptFilter : public ScriptEffect {
public:
    explicit ScriptFilter(const wchar_t* scriptName);
    std::shared_ptr<EffectBase> createInstance() const override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
};

}  // namespace Effect
