#include "render/MoviePlayer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <exception>
#include <thread>

#include "core/AlignedBuffer.h"
#include "core/EventService.h"
#include "core/Log.h"
#include "core/SettingService.h"
#include "edit/Scene.h"
#include "media/audio/AudioBuffer.h"
#include "media/audio/XAudio2Service.h"
#include "media/gpu/FrameImage.h"
#include "platform/audio/SourceVoice.h"
#include "render/RenderAudioWorker.h"
#include "render/RenderVideoWorker.h"

namespace Render {

namespace {

// How far ahead a due frame may be and still be waited for, and how long
// after the last frame's time playback ends.
constexpr double kPresentWindow = 0.016;
constexpr double kEndMargin = 0.05;
// Where the sound starts again after the output ran dry.
constexpr double kRestartAhead = 0.2;
constexpr int kFramesPerTick = 4;

void processorPause() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#else
    std::this_thread::yield();
#endif
}

}  // namespace

MoviePlayer::Clock MoviePlayer::systemClock() {
    Clock clock;
    clock.counter = [] {
        return static_cast<int64_t>(
            std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
                .count());
    };
    clock.frequency = 1000000000;
    clock.pause = processorPause;
    return clock;
}

MoviePlayer::MoviePlayer(Connections connections)
    : connections_(std::move(connections)),
      self_(std::make_shared<MoviePlayer*>(this)),
      binding_(group_, Setting::SettingService::mainSettings()) {
    if (!connections_.clock.counter) connections_.clock = systemClock();
    if (connections_.clock.frequency <= 0) connections_.clock.frequency = 1;
    if (System::IniFile* document = Setting::SettingService::mainSettings()) group_.load(*document);
    if (Event::EventService* events = connections_.events) {
        const std::weak_ptr<MoviePlayer*> weak = self_;
        events->objectChangedListeners.add([weak](const Event::EventService::ObjectRef&) {
            if (const auto self = weak.lock(); self && *self) (*self)->stop();
        });
        events->sceneListeners.add([weak](int) {
            if (const auto self = weak.lock(); self && *self) (*self)->stop();
        });
    }
}

MoviePlayer::~MoviePlayer() {
    *self_ = nullptr;
    try {
        stop();
    } catch (const std::exception& e) {
        System::Log::error("Render::MoviePlayer::~MoviePlayer", "%s", e.what());
    }
}

double MoviePlayer::clock() const {
    const Clock& c = connections_.clock;
    return static_cast<double>(c.counter() - origin_) / static_cast<double>(c.frequency);
}

void MoviePlayer::setClock(double t) {
    const Clock& c = connections_.clock;
    origin_ = c.counter() - std::llround(static_cast<double>(c.frequency) * t);
}

double MoviePlayer::frameTime(int64_t frame) const { return static_cast<double>(frame) * scale_ / rate_; }

bool MoviePlayer::renderersIdle() {
    return connections_.video->pendingTaskCount() == 0 && connections_.audio->pendingTaskCount() == 0;
}

int32_t MoviePlayer::nextFrame() {
    Platform::os::MutexLock lock(frameMutex_);
    return nextFrame_;
}

int32_t MoviePlayer::nextAudioFrame() {
    Platform::os::MutexLock lock(audioMutex_);
    return nextAudioFrame_;
}

size_t MoviePlayer::queuedFrames() {
    Platform::os::MutexLock lock(frameMutex_);
    return frames_.size();
}

size_t MoviePlayer::queuedAudio() {
    Platform::os::MutexLock lock(audioMutex_);
    return audioQueue_.size();
}

Media::FrameImage* MoviePlayer::presentedImage() const {
    return frames_.empty() ? nullptr : frames_.front().image.get();
}

void MoviePlayer::play() {
    const std::shared_ptr<Edit::Scene> scene =
        connections_.currentScene ? connections_.currentScene() : std::shared_ptr<Edit::Scene>();
    if (!scene || scene->playing || playing_.load()) return;
    if (scene->videoRate <= 0 || scene->videoScale <= 0) return;  // no frame has a time
    scene_ = scene;
    rate_ = scene->videoRate;
    scale_ = scene->videoScale;
    const int32_t start = scene->cursorFrame;
    {
        Platform::os::MutexLock lock(frameMutex_);
        nextFrame_ = start;
    }
    {
        Platform::os::MutexLock lock(audioMutex_);
        nextAudioFrame_ = start;
    }
    startFrame_ = start;
    lastFrame_ = scene->length;
    startTime_ = frameTime(start);
    endTime_ = frameTime(lastFrame_);
    const double buffer = std::max(bufferTime, 0) / 1000.0;
    framesAhead_ = std::max<int32_t>(2, static_cast<int32_t>(std::llround(rate_ * buffer / scale_)));
    if (Media::XAudio2Service* output = connections_.output) {
        // Without a sound device the picture still plays, silently.
        try {
            output->createPlayer(scene->audioRate);
            output->setVolume(volume);
        } catch (const std::exception& e) {
            System::Log::warn("Render::MoviePlayer::play", "playing without sound: %s", e.what());
        }
    }
    setClock(startTime_ - buffer);
    preroll_ = true;
    timer_.setInterval(kTickMs);
    if (connections_.loop.registerWaitHandle) connections_.loop.registerWaitHandle(timer_.handle(), [this] { tick(); });
    scene->playFrame = start;
    scene->playing = true;
    playing_.store(true);
    if (connections_.events) connections_.events->playStateListeners.call(true);
}

void MoviePlayer::tick() {
    presentFrames();
    submitAudio();
    if (playing_.load() && clock() > endTime_ + kEndMargin) {
        scene_->playFrame = lastFrame_;
        stop();
    }
}

void MoviePlayer::presentFrames() {
    if (!playing_.load()) return;
    requestFrames();
    for (int i = 0; i < kFramesPerTick; ++i) {
        Platform::os::MutexLock lock(frameMutex_);
        if (frames_.empty()) break;
        const int32_t frame = frames_.front().frame;
        const double t = frameTime(frame);
        if (t > clock()) {
            if (t - clock() > kPresentWindow) break;
            while (clock() < t) connections_.clock.pause();
        }
        scene_->playFrame = frame;
        if (connections_.events) connections_.events->renderResultListeners.call(kRenderPlayback, frame);
        frames_.pop_front();
    }
}

void MoviePlayer::requestFrames() {
    if (!playing_.load()) return;
    RenderVideoWorker& video = *connections_.video;
    Platform::os::MutexLock lock(frameMutex_);
    const double now = clock();
    if (frameTime(nextFrame_) < now) {
        // Behind: go on from now and drop what was asked for the past.
        nextFrame_ = static_cast<int32_t>(std::llround(rate_ * now / scale_));
        video.cancelRendering(kRenderPlayback);
    }
    if (nextFrame_ > lastFrame_) {
        if (preroll_ && now < startTime_ && renderersIdle()) setClock(startTime_);
        return;
    }
    int64_t wanted = static_cast<int64_t>(framesAhead_) - static_cast<int64_t>(frames_.size()) -
                     static_cast<int64_t>(video.pendingTaskCount());
    if (wanted > 0) {
        for (; wanted > 0 && nextFrame_ <= lastFrame_; --wanted, ++nextFrame_)
            video.requestRenderingFrame(kRenderPlayback, nextFrame_,
                                        [this](int32_t frame, Media::RenderBuffer& buffer, Anchor::AnchorList*) {
                                            onFrameRendered(frame, buffer);
                                        });
    } else if (preroll_ && now < startTime_ && renderersIdle()) {
        setClock(startTime_);  // everything wanted is ready: the pre-roll ends early
    }
}

void MoviePlayer::onFrameRendered(int32_t frame, Media::RenderBuffer& buffer) {
    if (!playing_.load()) return;
    auto image = std::make_unique<Media::FrameImage>();
    image->copyFrom(buffer);
    Platform::os::MutexLock lock(frameMutex_);
    if (!playing_.load()) return;  // stopped meanwhile
    frames_.push_back(QueuedFrame{frame, std::move(image)});
}

bool MoviePlayer::outputStarved() const {
    const Media::XAudio2Service* output = connections_.output;
    if (output == nullptr || !output->isPlaying()) return false;
    if (output->sourceVoice == nullptr) return true;
    Platform::audio::VoiceState state;
    output->sourceVoice->getState(state, Platform::audio::kVoiceNoSamplesPlayed);
    return state.buffersQueued == 0;
}

void MoviePlayer::requestAudio() {
    if (!playing_.load()) return;
    RenderAudioWorker& audio = *connections_.audio;
    if (outputStarved()) {
        Media::XAudio2Service& output = *connections_.output;
        output.stop();
        output.clearBuffer();
        audio.cancelRendering(kRenderPlayback);
        audio.waitAll();
        Platform::os::MutexLock lock(audioMutex_);
        audioQueue_.clear();
        startTime_ = clock() + kRestartAhead;
        nextAudioFrame_ = static_cast<int32_t>(std::llround(startTime_ * rate_ / scale_));
    }
    Platform::os::MutexLock lock(audioMutex_);
    if (nextAudioFrame_ > lastFrame_) return;
    int64_t wanted = static_cast<int64_t>(framesAhead_) - static_cast<int64_t>(audioQueue_.size()) -
                     static_cast<int64_t>(audio.pendingTaskCount());
    for (; wanted > 0 && nextAudioFrame_ <= lastFrame_; --wanted, ++nextAudioFrame_)
        audio.requestRenderingAudio(kRenderPlayback, nextAudioFrame_,
                                    [this](int32_t frame, Media::AudioBuffer& mix) { onAudioRendered(frame, mix); });
}

void MoviePlayer::onAudioRendered(int32_t frame, Media::AudioBuffer& samples) {
    if (!playing_.load()) return;
    auto block = std::make_unique<System::AlignedBuffer>();
    const int32_t count = std::max(samples.samples, 0);
    block->allocMemory(static_cast<uint32_t>(count) * 8);
    auto* out = reinterpret_cast<float*>(block->data());
    if (count > 0) {
        const float* left = samples.getChannel(0);
        const float* right = samples.getChannel(1);
        for (int32_t i = 0; i < count; ++i) {
            out[2 * i] = left[i];
            out[2 * i + 1] = right[i];
        }
    }
    Platform::os::MutexLock lock(audioMutex_);
    if (!playing_.load()) return;
    audioQueue_.push_back(QueuedAudio{frame, std::move(block)});
}

void MoviePlayer::submitAudio() {
    if (!playing_.load()) return;
    requestAudio();
    Media::XAudio2Service* output = connections_.output;
    if (output == nullptr) return;
    {
        Platform::os::MutexLock lock(audioMutex_);
        while (!audioQueue_.empty() && output->sourceVoice != nullptr) {
            output->releasePlayedBuffers();
            if (output->queuedBlockCount() >= kMaxOutputBlocks || output->queuedBytes() >= kMaxOutputBytes) break;
            std::unique_ptr<System::AlignedBuffer> block = std::move(audioQueue_.front().block);
            audioQueue_.pop_front();
            if (block->size() > 0) output->submitBuffer(std::move(block));
        }
    }
    // Started empty, the next tick would take it for an output run dry.
    if (!output->isPlaying() && clock() >= startTime_ && output->queuedBlockCount() > 0) {
        preroll_ = false;
        output->play();
    }
}

void MoviePlayer::stop() {
    if (!scene_ || !playing_.load()) return;
    const std::shared_ptr<Edit::Scene> scene = scene_;
    scene->playing = false;
    playing_.store(false);
    if (connections_.loop.unregisterWaitHandle) connections_.loop.unregisterWaitHandle(timer_.handle());
    timer_.clear();
    if (connections_.output) connections_.output->stop();
    connections_.video->cancelRendering(kRenderPlayback);
    connections_.video->waitAll();
    connections_.audio->cancelRendering(kRenderPlayback);
    connections_.audio->waitAll();
    {
        Platform::os::MutexLock lock(frameMutex_);
        frames_.clear();
    }
    {
        Platform::os::MutexLock lock(audioMutex_);
        audioQueue_.clear();
    }
    if (connections_.output) connections_.output->clearBuffer();
    scene_.reset();
    if (connections_.events) connections_.events->playStateListeners.call(false);
    const int32_t cursor =
        std::clamp(returnCursorPosition != 0 ? scene->cursorFrame : scene->playFrame, 0, std::max(scene->length, 0));
    scene->cursorFrame = cursor;
    if (connections_.events) connections_.events->cursorFrameListeners.call(cursor);
}

}  // namespace Render
