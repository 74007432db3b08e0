#pragma once
// The render pipeline: the per-object render contexts handed to every effect
// operation, where a frame lies inside an object, and (as they arrive) the
// render workers, caches and the player.
#include "render/AudioRange.h"
#include "render/AudioRenderContext.h"
#include "render/ContextBase.h"
#include "render/RenderContext.h"
#include "render/SectionPosition.h"
