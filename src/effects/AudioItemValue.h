#pragma once
#include "effect/AudioRenderContext.h"
#include "effect/EffectItemNumber.h"
#include "effect/RenderContext.h"

namespace Effect {

// Item values of an audio effect at its context's frame: the items read
// through a render context that holds the audio context's object and position.
class AudioItemValue {
public:
    explicit AudioItemValue(const Render::AudioRenderContext& context) {
        static_cast<Render::ContextBase&>(context_) = context;
    }
    double get(const EffectItemNumber& item) { return item.getValue(context_); }

private:
    Render::RenderContext context_;
};

}  // namespace Effect
