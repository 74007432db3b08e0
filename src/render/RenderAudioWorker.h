#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/EventSync.h"
#include "core/WorkerThread.h"
#include "effect/AudioRenderContext.h"
#include "media/audio/AudioBuffer.h"
#include "render/GroupLayers.h"
#include "render/PreInputBuffer.h"
#include "render/RenderTaskType.h"
#include "render/RenderWorkerBase.h"

namespace Edit {
class ReadSection;
}
namespace Media {
class AudioBlockBuffer;
}

namespace Render {

// Mixes the sound of one frame of the current scene into a stereo buffer.
// Requests run one at a time on the render thread, which walks the scene's
// layers; inputs, filters and outputs run on the per-object thread in the
// walk's order.
class RenderAudioWorker : public RenderWorkerBase {
public:
    // (frame, mix): runs on the render thread after the read scope is closed;
    // the mix is valid during the call only.
    using Callback = std::function<void(int32_t, Media::AudioBuffer&)>;
    using SceneReader = std::function<std::unique_ptr<Edit::ReadSection>()>;
    using BlockDone = std::function<void(std::shared_ptr<Media::AudioBlockBuffer>)>;

    // Sound rendered ahead for another object; readers wait on the event.
    class RenderingBuffer : public PreInputBuffer, public Media::AudioBuffer {
    public:
        Sync::Event event;
    };

    explicit RenderAudioWorker(SceneReader reader);
    // Stops the render thread, then the per-object thread; requests queued
    // later are dropped.
    void stop();
    ~RenderAudioWorker() override;

    // The first scene sample of the frame: llround(rate x frame x scale / videoRate).
    static int64_t firstSample(int32_t audioRate, int64_t frame, int32_t videoRate, int32_t videoScale);
    static int64_t firstSample(const Edit::Scene& scene, int64_t frame);

    // Queues the mix of one frame of the current scene and returns at once.
    // A preview first drops every queued preview (their callbacks never run).
    void requestRenderingAudio(RenderTaskType tag, int32_t frame, Callback callback);
    // Queues the mix of the scene's frame on the render thread; the buffer's
    // event is set once it is filled. The caller holds the read scope.
    std::shared_ptr<RenderingBuffer> requestPreInputAudio(Edit::Scene& scene, int32_t frame);
    // Render thread, inside a walk: renders one second of the scene (block n
    // covers samples n x rate up to (n + 1) x rate) and hands it to done on
    // the per-object thread.
    void createSceneAudioBlock(Edit::Scene& scene, int32_t block, BlockDone done);
    // Returns once every request queued so far has run.
    void waitAll();
    // Drops the queued requests of the tag (their callbacks never run); the
    // one in progress finishes.
    void cancelRendering(RenderTaskType tag);
    // Requests not yet finished: the queued ones and the one in progress.
    size_t pendingTaskCount();

    // One mix of one frame, run by the constructor on the render thread.
    class AudioSection {
    public:
        AudioSection(RenderAudioWorker& worker, Edit::Scene& scene, int32_t frame, Media::AudioBuffer& mix);
        AudioSection(const AudioSection&) = delete;
        AudioSection& operator=(const AudioSection&) = delete;

        AudioRenderContext context;
        std::vector<RenderSection::GroupEntry> groups;
        GroupLayers groupLayers;

    private:
        void walk(RenderAudioWorker& worker);
    };

    void renderAudioObject(AudioSection& section, const std::shared_ptr<Edit::Object>& object);
    void controlAudioObject(AudioSection& section, const std::shared_ptr<Edit::Object>& object);

protected:
    // The video hooks of the base: the audio walk has its own steps.
    void queueSizing(RenderSection&, Media::RenderBuffer&, int32_t, int32_t) override {}
    void renderObject(RenderSection&, const std::shared_ptr<Edit::Object>&) override {}
    void controlObject(RenderSection&, const std::shared_ptr<Edit::Object>&) override {}
    void queueCameraObject(RenderSection&, const std::shared_ptr<Edit::Object>&) override {}
    void flushCameraBatch(RenderSection&) override {}
    void renderClippingObject(RenderSection&, const std::shared_ptr<Edit::Object>&) override {}
    void finishClipping(RenderSection&) override {}
    void queueClosing(RenderSection&) override {}

private:
    void renderFrame(int32_t frame, const Callback& callback);
    void setSampleOffset(AudioRenderContext& context) const;

    Worker::WorkerThread renderThread_{"RenderAudioWorker"};
    SceneReader reader_;
    // Declared last: stopped and destroyed first, while everything its tasks use lives.
    Worker::WorkerThread objectThread_{"RenderObjectWorkerAudio"};
};

}  // namespace Render
