#include "render/RenderAudioWorker.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

#include "core/Log.h"
#include "edit/Object.h"
#include "edit/ReadSection.h"
#include "edit/Scene.h"
#include "effect/EffectBase.h"
#include "media/audio/AudioBlockBuffer.h"
#include "render/AudioPass.h"

namespace Render {

namespace {

using Effect::EffectBase;

constexpr const char* kBlockScope = "Render::RenderAudioWorker::createSceneAudioBlock";

// Nearest integer of numerator / denominator (denominator > 0), halves away from zero.
int64_t roundedQuotient(int64_t numerator, int64_t denominator) {
    const int64_t magnitude = (2 * (numerator < 0 ? -numerator : numerator) + denominator) / (2 * denominator);
    return numerator < 0 ? -magnitude : magnitude;
}

bool outputsAudio(const Edit::Object& object) {
    for (const auto& effect : object.effects)
        if (effect->role == EffectBase::kOutput)
            return effect->media == EffectBase::kAudio || effect->media == EffectBase::kVideoAudio;
    return false;
}

}  // namespace

int64_t RenderAudioWorker::firstSample(int32_t audioRate, int64_t frame, int32_t videoRate, int32_t videoScale) {
    if (videoRate <= 0) return 0;
    return roundedQuotient(static_cast<int64_t>(audioRate) * frame * videoScale, videoRate);
}

int64_t RenderAudioWorker::firstSample(const Edit::Scene& scene, int64_t frame) {
    return firstSample(scene.audioRate, frame, scene.videoRate, scene.videoScale);
}

RenderAudioWorker::RenderAudioWorker(SceneReader reader) : reader_(std::move(reader)) {
    objectThread_.semaphore().setMax(10);
}

RenderAudioWorker::~RenderAudioWorker() { stop(); }

void RenderAudioWorker::stop() {
    renderThread_.stop();
    objectThread_.stop();
}

void RenderAudioWorker::requestRenderingAudio(RenderTaskType tag, int32_t frame, Callback callback) {
    if (tag == kRenderPreview) renderThread_.cancelTask(kRenderPreview);
    renderThread_.addTask(tag, [this, frame, callback = std::move(callback)] { renderFrame(frame, callback); });
}

void RenderAudioWorker::waitAll() { renderThread_.waitAll(); }

void RenderAudioWorker::cancelRendering(RenderTaskType tag) { renderThread_.cancelTask(tag); }

size_t RenderAudioWorker::pendingTaskCount() { return renderThread_.pendingTaskCount(); }

void RenderAudioWorker::renderFrame(int32_t frame, const Callback& callback) {
    Media::AudioBuffer mix;
    {
        std::unique_ptr<Edit::ReadSection> read = reader_ ? reader_() : nullptr;
        if (!read || !read->scene) return;
        sceneKeys_.clear();
        // Whatever leaves the walk, the tasks it queued finish before the mix
        // and the lock they use go away.
        struct Drain {
            Worker::WorkerThread& thread;
            ~Drain() { thread.waitAll(); }
        } drain{objectThread_};
        const AudioSection walk(*this, *read->scene, frame, mix);
    }
    if (callback) callback(frame, mix);
}

std::shared_ptr<RenderAudioWorker::RenderingBuffer> RenderAudioWorker::requestPreInputAudio(Edit::Scene& scene,
                                                                                            int32_t frame) {
    auto buffer = std::make_shared<RenderingBuffer>();
    renderThread_.addTask(kRenderExport, [this, &scene, frame, buffer] {
        struct Signal {
            RenderingBuffer& buffer;
            ~Signal() { buffer.event.set(); }  // a failed render leaves the buffer empty, not waited on forever
        } signal{*buffer};
        sceneKeys_.clear();
        {
            struct Drain {
                Worker::WorkerThread& thread;
                ~Drain() { thread.waitAll(); }
            } drain{objectThread_};
            const AudioSection walk(*this, scene, frame, *buffer);
        }
    });
    return buffer;
}

void RenderAudioWorker::createSceneAudioBlock(Edit::Scene& scene, int32_t block, BlockDone done) {
    const int32_t rate = scene.audioRate;
    auto out = std::make_shared<Media::AudioBlockBuffer>(rate, 2);
    auto frameMix = std::make_shared<Media::AudioBuffer>();
    const int64_t start = static_cast<int64_t>(block) * rate;
    int64_t frame = scene.videoScale > 0 && rate > 0
                        ? start * scene.videoRate / (static_cast<int64_t>(rate) * scene.videoScale)
                        : scene.length;
    int64_t filled = 0;
    while (frame < scene.length && filled < rate) {
        { const AudioSection walk(*this, scene, static_cast<int32_t>(frame), *frameMix); }
        const int64_t first = firstSample(scene, frame);
        const int64_t frameSamples = firstSample(scene, frame + 1) - first;
        const int64_t sourceOffset = start + filled - first;
        if (sourceOffset < 0 || sourceOffset > frameSamples) {
            System::Log::error(kBlockScope, "invalid rendering sample position.");
            break;
        }
        objectThread_.addTask(kRenderInternal, [out, frameMix, rate, filled, sourceOffset, frameSamples] {
            if (frameMix->samples != frameSamples) {
                System::Log::error(kBlockScope, "invalid rendering sample num.");
                return;
            }
            const int64_t n = std::min<int64_t>(rate - filled, frameSamples - sourceOffset);
            if (n <= 0) return;
            for (int32_t channel = 0; channel < 2; ++channel)
                std::memcpy(out->getChannel(channel) + filled, frameMix->getChannel(channel) + sourceOffset,
                            static_cast<size_t>(n) * sizeof(float));
        });
        filled += frameSamples - sourceOffset;
        ++frame;
    }
    objectThread_.addTask(kRenderInternal, [out, done = std::move(done)] {
        if (done) done(out);
    });
}

void RenderAudioWorker::setSampleOffset(AudioRenderContext& context) const {
    context.range.offset = context.range.first - firstSample(*context.scene, context.object->start);
}

RenderAudioWorker::AudioSection::AudioSection(RenderAudioWorker& worker, Edit::Scene& scene, int32_t frame,
                                              Media::AudioBuffer& mix) {
    context.scene = &scene;
    context.frame = frame;
    context.preciseFrame = frame;
    context.mixBuffer = &mix;
    context.range.rate = scene.audioRate;
    context.range.first = firstSample(scene, frame);
    context.range.count = static_cast<int32_t>(firstSample(scene, frame + 1) - context.range.first);

    worker.objectThread_.addTask(kRenderInternal, [&mix, count = context.range.count] {
        mix.resize(count, 2);
        mix.clear();
    });

    const int32_t key = scene.id;
    if (!worker.sceneKeys_.insert(key).second) {
        System::Log::warn("Render::RenderWorkerBase::RenderSection::RenderSection", "recursive scene. index=%d num=%d",
                          key, static_cast<int32_t>(worker.sceneKeys_.size()));
        return;  // the mix stays silent
    }
    struct KeyRelease {
        RenderAudioWorker& worker;
        int32_t key;
        ~KeyRelease() { worker.sceneKeys_.erase(key); }
    } release{worker, key};
    walk(worker);
}

void RenderAudioWorker::AudioSection::walk(RenderAudioWorker& worker) {
    Edit::Scene& scene = *context.scene;
    const int32_t last = std::min(scene.lastUsedLayer, scene.layerCount() - 1);
    for (int32_t i = 0; i <= last; ++i) {
        std::shared_ptr<Edit::Object> object = scene.findLayerObject(i, context.frame, EffectBase::kAudio);
        if (!object) continue;
        context.layer = i;
        while (!groups.empty() && groups.back().lastLayer < i) groups.pop_back();
        context.groupControl = groups.empty() ? nullptr : groups.back().object;

        const EffectBase& first = *object->effects.front();
        if (first.role == EffectBase::kControl) {
            if (std::wcscmp(first.name, AudioPass::kGroupControlName) == 0) {
                groupLayers.set(*object, context.groupControl ? context.groupControl->layer : -1);
                worker.controlAudioObject(*this, object);
                context.groupControl = object;
                groups.push_back({object, static_cast<int64_t>(object->layer) + layerRange(*object)});
            } else {
                worker.controlAudioObject(*this, object);
            }
        } else if (first.role == EffectBase::kInput && outputsAudio(*object)) {
            worker.renderAudioObject(*this, object);
        }
        // Audio filter objects reach the mix through the chain of the object before them.
    }
}

void RenderAudioWorker::renderAudioObject(AudioSection& section, const std::shared_ptr<Edit::Object>& object) {
    AudioRenderContext& context = section.context;
    context.resetObject(object);
    setSampleOffset(context);
    AudioPass::collectObjectChain(context);
    AudioPass::addGroupAudioChain(context, section.groupLayers);
    AudioPass::preInputAudio(context);
    objectThread_.addTask(kRenderInternal, [copy = context]() mutable { AudioPass::renderAudio(copy); });
    context.chain.reset();
}

void RenderAudioWorker::controlAudioObject(AudioSection& section, const std::shared_ptr<Edit::Object>& object) {
    AudioRenderContext& context = section.context;
    context.resetObject(object);
    setSampleOffset(context);
    object->effects.front()->preInputAudio(context);
    objectThread_.addTask(kRenderInternal,
                          [copy = context]() mutable { copy.object->effects.front()->controlAudio(copy); });
}

}  // namespace Render
