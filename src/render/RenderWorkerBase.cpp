#include "render/RenderWorkerBase.h"

#include <algorithm>
#include <cwchar>

#include "core/Log.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "effect/EffectBase.h"
#include "effect/EffectItemInteger.h"
#include "render/VideoPass.h"

namespace Render {

namespace {

using Effect::EffectBase;

bool named(const EffectBase& effect, const wchar_t* name) { return std::wcscmp(effect.name, name) == 0; }

}  // namespace

int64_t RenderWorkerBase::layerRange(const Edit::Object& control) {
    Effect::EffectItemInteger* range = control.effects.front()->getLayerRange();
    const int32_t n = range ? range->value : 0;
    return n == 0 ? kWholeRange : n;
}

RenderWorkerBase::RenderSection::RenderSection(RenderWorkerBase& worker, Edit::Scene& scene, int32_t frame,
                                               Media::RenderBuffer& target, ResourceCache* cache,
                                               Anchor::AnchorList* anchors, int32_t mediaFrameOffset,
                                               int32_t highestLayer, bool preInput) {
    context.scene = &scene;
    context.frame = frame;
    context.preciseFrame = frame;
    context.mediaFrameOffset = mediaFrameOffset;
    context.view.frameBuffer = &target;
    context.resourceCache = cache;
    context.anchorList = anchors;

    worker.queueSizing(*this, target, scene.videoWidth, scene.videoHeight);

    const int32_t key = scene.id + (preInput ? kPreInputKey : 0);
    if (!worker.sceneKeys_.insert(key).second) {
        System::Log::warn("Render::RenderWorkerBase::RenderSection::RenderSection", "recursive scene. index=%d num=%d",
                          key, static_cast<int32_t>(worker.sceneKeys_.size()));
        return;  // the target stays cleared
    }
    struct KeyRelease {
        RenderWorkerBase& worker;
        int32_t key;
        ~KeyRelease() { worker.sceneKeys_.erase(key); }
    } release{worker, key};
    walk(worker, highestLayer);
    worker.queueClosing(*this);
}

void RenderWorkerBase::RenderSection::walk(RenderWorkerBase& worker, int32_t highestLayer) {
    Edit::Scene& scene = *context.scene;
    const int32_t last = std::min({scene.lastUsedLayer, highestLayer, scene.layerCount() - 1});
    for (int32_t i = 0; i <= last; ++i) {
        std::shared_ptr<Edit::Object> object = scene.findLayerObject(i, context.frame, EffectBase::kVideo);
        if (!object) continue;
        context.layer = i;
        while (!groups.empty() && groups.back().lastLayer < i) groups.pop_back();
        context.view.groupControl = groups.empty() ? nullptr : groups.back().object;
        if (const auto& camera = context.view.cameraControl;
            camera && static_cast<int64_t>(camera->layer) + layerRange(*camera) < i) {
            worker.flushCameraBatch(*this);
            context.view.cameraControl.reset();
        }
        if (clipping.mask && clipping.lastLayer != 0 && clipping.lastLayer < i) worker.finishClipping(*this);

        const EffectBase& first = *object->effects.front();
        if (first.role == EffectBase::kControl) {
            setClippingEnd(*object);
            control(worker, object);
        } else if (first.role == EffectBase::kInput && object->effects.size() >= 2 &&
                   (object->effects[1]->media == EffectBase::kVideo ||
                    object->effects[1]->media == EffectBase::kVideoAudio)) {
            if (object->clipping) {
                worker.renderClippingObject(*this, object);
                continue;
            }
            setClippingEnd(*object);
            if (context.view.cameraControl)
                worker.queueCameraObject(*this, object);
            else
                worker.renderObject(*this, object);
        }
        // Filter objects reach the drawing through the chain of the object before them.
    }
    worker.flushCameraBatch(*this);
    worker.finishClipping(*this);
}

void RenderWorkerBase::RenderSection::setClippingEnd(const Edit::Object& object) {
    if (!clipping.mask || clipping.lastLayer != 0) return;
    clipping.lastLayer = object.layerRangeControl ? static_cast<int64_t>(object.layer) + layerRange(object) : object.layer;
}

void RenderWorkerBase::RenderSection::control(RenderWorkerBase& worker, const std::shared_ptr<Edit::Object>& object) {
    const EffectBase& first = *object->effects.front();
    if (named(first, VideoPass::kGroupControlName)) {
        groupLayers.set(*object, context.view.groupControl ? context.view.groupControl->layer : -1);
        worker.controlObject(*this, object);
        context.view.groupControl = object;
        groups.push_back({object, static_cast<int64_t>(object->layer) + layerRange(*object)});
    } else if (named(first, VideoPass::kCameraControlName)) {
        worker.flushCameraBatch(*this);
        worker.controlObject(*this, object);
        context.view.cameraControl = object;
    } else {
        worker.controlObject(*this, object);
    }
}

}  // namespace Render
