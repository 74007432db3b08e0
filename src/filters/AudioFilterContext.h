#pragma once
#include "effect/AudioRenderContext.h"
#include "effect/RenderContext.h"

namespace Effect {

// The items read their values through a video context: the audio filters
// hand them one with the audio context's object, frame and section.
inline Render::RenderContext itemContextOf(const Render::AudioRenderContext& context) {
    Render::RenderContext video;
    static_cast<Render::ContextBase&>(video) = context;
    return video;
}

}  // namespace Effect
