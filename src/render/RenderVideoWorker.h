#pragma once
#include <cstdint>
#include <functional>
#include <memory>

#include "core/ConfigFloat.h"
#include "core/ConfigInt.h"
#include "core/ConfigParameterBinding.h"
#include "core/ConfigParameterGroup.h"
#include "core/WorkerThread.h"
#include "effect/AnchorList.h"
#include "media/gpu/RenderBuffer.h"
#include "render/PreInputBuffer.h"
#include "render/RenderTaskType.h"
#include "render/RenderWorkerBase.h"

namespace Edit {
class ReadSection;
}
namespace Media {
class ImageBuffer;
class ResourceBuffer;
}  // namespace Media

namespace Render {

// Turns one frame of the current scene into a GPU frame buffer. Requests run
// one at a time on the render thread, which walks the scene; the drawing runs
// on the per-object thread in the walk's order. The frame stays on the GPU:
// the callback reads it back only when it wants bytes, and the recorded work
// is submitted once per frame.
class RenderVideoWorker : public RenderWorkerBase {
public:
    // (frame, frame buffer, anchor list): runs on the render thread after
    // the read scope is closed; both are valid during the call only. The
    // list holds the frame's anchors for a preview and is empty otherwise.
    using Callback = std::function<void(int32_t, Media::RenderBuffer&, Anchor::AnchorList*)>;
    // Opens the read scope of the current scene (the project lock held
    // shared), or gives none when there is no scene to render.
    using SceneReader = std::function<std::unique_ptr<Edit::ReadSection>()>;

    struct Settings {
        int64_t temporaryImageCacheSize = 0;  // budget of each frame's named-buffer cache, in pixels
        float clippingMaskColor[4] = {};      // premultiplied
    };
    // "TemporaryImageCacheSize" of the system settings and "ClippingObjectMask"
    // of the style; a missing or malformed value throws the ini reader's exception.
    static Settings readSettings();

    // A frame rendered ahead for another object: the target of a walk, sized
    // to its scene by that walk.
    class RenderingBuffer : public PreInputBuffer, public Media::RenderBuffer {
    public:
        RenderingBuffer();
    };

    RenderVideoWorker(SceneReader reader, const Settings& settings);
    // Stops the render thread, then the per-object thread; requests queued
    // later are dropped.
    void stop();
    ~RenderVideoWorker() override;

    // Queues the render of one frame of the current scene and returns at
    // once. A preview first drops every queued preview (their callbacks never run).
    void requestRenderingFrame(RenderTaskType tag, int32_t frame, Callback callback);
    // Returns once every request queued so far has run.
    void waitAll();
    // Drops the queued requests of the tag (their callbacks never run); the
    // one in progress finishes.
    void cancelRendering(RenderTaskType tag);
    // Requests not yet finished: the queued ones and the one in progress.
    size_t pendingTaskCount();
    // Render thread, inside a walk: draws the scene's frame and hands it,
    // read back, to done on the per-object thread (an empty image when the
    // scene has no size).
    void renderSceneFrame(Edit::Scene& scene, int32_t frame,
                          std::function<void(std::shared_ptr<Media::ImageBuffer>)> done);

    // Render thread, inside a walk: draws the scene's frame up to the highest
    // layer into a new buffer, its movies moved on by the media frame offset.
    // Its drawing is queued ahead of whatever the caller queues next, so the
    // buffer is complete when the caller's own task runs.
    std::shared_ptr<RenderingBuffer> requestPreInputFrame(Edit::Scene& scene, int32_t frame, int32_t mediaFrameOffset,
                                                          int32_t highestLayer);

    // The image the last drawn object handed to its output; per-object thread only.
    const std::shared_ptr<Media::ResourceBuffer>& previousObjectImage() const { return previousImage_; }

    int64_t temporaryImageCacheSize() const { return settings_.temporaryImageCacheSize; }
    const float* clippingMaskColor() const { return settings_.clippingMaskColor; }

    // The output whose objects never take part in a camera.
    static constexpr const wchar_t* kBasicOutputName = L"基本出力";

    // Section "Render.video"; the worker itself reads only visibleClippingObject.
    float gridStep = 200;
    int32_t cameraGrid = 1;
    float cameraGridStep = 200;
    float cameraGridRange = 10000;
    int32_t visibleClippingObject = 1;
    int32_t cameraFreeView = 0;

protected:
    void queueSizing(RenderSection& section, Media::RenderBuffer& target, int32_t width, int32_t height) override;
    void renderObject(RenderSection& section, const std::shared_ptr<Edit::Object>& object) override;
    void controlObject(RenderSection& section, const std::shared_ptr<Edit::Object>& object) override;
    void queueCameraObject(RenderSection& section, const std::shared_ptr<Edit::Object>& object) override;
    void flushCameraBatch(RenderSection& section) override;
    void renderClippingObject(RenderSection& section, const std::shared_ptr<Edit::Object>& object) override;
    void finishClipping(RenderSection& section) override;
    void queueClosing(RenderSection& section) override;

private:
    // The programs that close a clipping, loaded on first use (per-object thread).
    struct ClippingPasses;
    ClippingPasses& clippingPasses();
    void restoreOpenControls(RenderSection& section);
    void renderFrame(RenderTaskType tag, int32_t frame, const Callback& callback);

    Worker::WorkerThread renderThread_{"RenderVideoWorker"};
    SceneReader reader_;
    Settings settings_;
    std::shared_ptr<Media::ResourceBuffer> previousImage_;
    // Made once and reused by every request: its texture is remade only when
    // the scene's size changes.
    std::unique_ptr<Media::RenderBuffer> frameBuffer_;
    std::unique_ptr<ClippingPasses> clippingPasses_;
    // The anchors of the frame being rendered; render thread only.
    Anchor::AnchorList anchors_;

    System::Config::ParameterGroup group_{"Render.video"};
    System::Config::Float gridStepParameter_{group_, "GridStep", &gridStep, 200};
    System::Config::Int cameraGridParameter_{group_, "CameraGrid", &cameraGrid, 1};
    System::Config::Float cameraGridStepParameter_{group_, "CameraGridStep", &cameraGridStep, 200};
    System::Config::Float cameraGridRangeParameter_{group_, "CameraGridRange", &cameraGridRange, 10000};
    System::Config::Int visibleClippingParameter_{group_, "VisibleClippingObject", &visibleClippingObject, 1};
    System::Config::Int cameraFreeViewParameter_{group_, "CameraFreeView", &cameraFreeView, 0};
    System::Config::ParameterBinding binding_;

    // Declared last: stopped and destroyed first, while everything its tasks use lives.
    Worker::WorkerThread objectThread_{"RenderObjectWorkerVideo"};
};

}  // namespace Render
