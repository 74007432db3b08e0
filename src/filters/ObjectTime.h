#pragma once
#include "effect/RenderContext.h"
#include "edit/Object.h"
#include "edit/Scene.h"

namespace Effect {

// Seconds on the current object at the context's fractional frame, at the
// scene's frame rate (30 when there is no scene).
struct ObjectTime {
    double elapsed = 0;    // since the object's start frame
    double remaining = 0;  // to its end frame

    static ObjectTime of(const Render::RenderContext& context) {
        double rate = 30, scale = 1;
        if (context.scene && context.scene->videoRate > 0 && context.scene->videoScale > 0) {
            rate = context.scene->videoRate;
            scale = context.scene->videoScale;
        }
        ObjectTime t;
        if (!context.object) return t;
        const double start = context.object->start;
        t.elapsed = (context.preciseFrame - start) * scale / rate;
        t.remaining = (context.object->end - start) * scale / rate - t.elapsed;
        return t;
    }
};

}  // namespace Effect
