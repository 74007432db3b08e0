#pragma once
// The render pipeline: the per-object render contexts handed to every effect
// operation and where a frame lies inside an object (kept beside the effect
// framework, which evaluates against them), the render service with its video
// worker, the scene walk and the per-object passes, and the cache of named
// buffers shared by one render.
#include "effect/AudioRange.h"
#include "effect/AudioRenderContext.h"
#include "effect/ContextBase.h"
#include "effect/RenderContext.h"
#include "effect/SectionPosition.h"
#include "render/RenderService.h"
#include "render/RenderTaskType.h"
#include "render/RenderVideoWorker.h"
#include "render/RenderWorkerBase.h"
#include "render/ResourceCache.h"
#include "render/VideoPass.h"
