#pragma once
// The render pipeline: the per-object render contexts handed to every effect
// operation and where a frame lies inside an object (kept beside the effect
// framework, which evaluates against them), and (as they arrive) the render
// workers, caches and the player, which sit above both the effects and the model.
#include "effect/AudioRange.h"
#include "effect/AudioRenderContext.h"
#include "effect/ContextBase.h"
#include "effect/RenderContext.h"
#include "effect/SectionPosition.h"
