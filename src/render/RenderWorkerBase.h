#pragma once
#include <cstdint>
#include <memory>
#include <unordered_set>
#include <vector>

#include "effect/RenderContext.h"
#include "render/GroupLayers.h"

namespace Edit {
class Object;
class Scene;
}  // namespace Edit
namespace Media {
class RenderBuffer;
class ResourceBuffer;
}  // namespace Media

namespace Render {

// Base of the render workers: the scene walk over one frame's layers and the
// keys of the walks in progress on the worker's render thread, which stop a
// scene from rendering itself.
class RenderWorkerBase {
public:
    static constexpr int32_t kAllLayers = 2147483647;
    // Added to the scene id for the walks of data rendered ahead.
    static constexpr int32_t kPreInputKey = 1000000000;
    // A layer range of 0 stands for this many layers.
    static constexpr int32_t kWholeRange = 1000000;

    // One pass over the scene's layers at one frame, run by its constructor on
    // the render thread. It decides what each layer's object means and queues
    // the drawing on the per-object thread in the walk's order; it returns
    // once everything is queued, not when it has run.
    class RenderSection {
    public:
        struct GroupEntry {
            std::shared_ptr<Edit::Object> object;
            int64_t lastLayer;
        };
        // An object met inside an open camera batch, drawn when the batch closes.
        struct CameraEntry {
            RenderContext context;
            std::shared_ptr<Edit::Object> object;
            float depth = 1000000000.0f;
        };
        // An open clipping: the mask its clipping objects draw into and the
        // frame as it was when it opened.
        struct Clipping {
            std::shared_ptr<Media::RenderBuffer> mask;  // none while no clipping is open
            std::shared_ptr<Media::ResourceBuffer> snapshot;
            int64_t lastLayer = 0;  // the highest layer it acts on; 0 until known
        };

        RenderSection(RenderWorkerBase& worker, Edit::Scene& scene, int32_t frame, Media::RenderBuffer& target,
                      ResourceCache* cache, Anchor::AnchorList* anchors, int32_t mediaFrameOffset, int32_t highestLayer,
                      bool preInput);
        RenderSection(const RenderSection&) = delete;
        RenderSection& operator=(const RenderSection&) = delete;

        RenderContext context;
        std::vector<GroupEntry> groups;
        GroupLayers groupLayers;
        std::vector<CameraEntry> cameraQueue;
        Clipping clipping;

    private:
        void walk(RenderWorkerBase& worker, int32_t highestLayer);
        void control(RenderWorkerBase& worker, const std::shared_ptr<Edit::Object>& object);
        // The first object after an open clipping's objects fixes the layers it acts on.
        void setClippingEnd(const Edit::Object& object);
    };

    RenderWorkerBase() = default;
    virtual ~RenderWorkerBase() = default;
    RenderWorkerBase(const RenderWorkerBase&) = delete;
    RenderWorkerBase& operator=(const RenderWorkerBase&) = delete;

    // The layers a control acts on: its range item, 0 meaning kWholeRange.
    static int64_t layerRange(const Edit::Object& control);

protected:
    // The hooks of the walk, in the order it calls them.
    // Per-object thread: size the target to the scene and clear it.
    virtual void queueSizing(RenderSection& section, Media::RenderBuffer& target, int32_t width, int32_t height) = 0;
    virtual void renderObject(RenderSection& section, const std::shared_ptr<Edit::Object>& object) = 0;
    virtual void controlObject(RenderSection& section, const std::shared_ptr<Edit::Object>& object) = 0;
    // Camera batches and clipping masks.
    virtual void queueCameraObject(RenderSection& section, const std::shared_ptr<Edit::Object>& object) = 0;
    virtual void flushCameraBatch(RenderSection& section) = 0;
    virtual void renderClippingObject(RenderSection& section, const std::shared_ptr<Edit::Object>& object) = 0;
    virtual void finishClipping(RenderSection& section) = 0;
    // Per-object thread: the walk is over.
    virtual void queueClosing(RenderSection& section) = 0;

    // Touched only by the render thread.
    std::unordered_set<int32_t> sceneKeys_;
};

}  // namespace Render
