#pragma once
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

#include "core/ConfigInt.h"
#include "core/ConfigParameterBinding.h"
#include "core/ConfigParameterGroup.h"
#include "core/TimerSync.h"
#include "platform/os/ThreadSafety.h"
#include "platform/os/Wait.h"

namespace Edit {
class Scene;
}
namespace Event {
class EventService;
}
namespace Media {
class AudioBuffer;
class FrameImage;
class RenderBuffer;
class XAudio2Service;
}  // namespace Media
namespace System {
class AlignedBuffer;
}

namespace Render {

class RenderAudioWorker;
class RenderVideoWorker;

// Plays the current scene with sound. Everything but the two render callbacks
// runs on the UI thread, from a 12 ms timer on the main loop: each tick keeps
// a fixed number of frames and of frames' sound requested ahead from the
// render workers, presents the rendered frames as their time comes on the
// player's clock, and hands the sound to the audio output. Frames that come
// too late are skipped; when the output runs dry the sound starts again a
// moment ahead, in step with the picture.
class MoviePlayer {
public:
    // The main loop's waiting on handles; the window layer installs it.
    struct MainLoop {
        std::function<void(const Platform::os::WaitHandle&, std::function<void()>)> registerWaitHandle;
        std::function<void(const Platform::os::WaitHandle&)> unregisterWaitHandle;
    };
    // A counter with its ticks per second, and what to do while waiting for
    // it to move a little.
    struct Clock {
        std::function<int64_t()> counter;
        int64_t frequency = 1;
        std::function<void()> pause;
    };
    static Clock systemClock();

    // What the player plays and where its results go.
    struct Connections {
        std::function<std::shared_ptr<Edit::Scene>()> currentScene;
        RenderVideoWorker* video = nullptr;
        RenderAudioWorker* audio = nullptr;
        Event::EventService* events = nullptr;
        Media::XAudio2Service* output = nullptr;  // none: silent playback
        MainLoop loop;
        Clock clock;
    };

    static constexpr uint32_t kTickMs = 12;
    // What the audio output holds at most.
    static constexpr size_t kMaxOutputBlocks = 64;
    static constexpr int32_t kMaxOutputBytes = 768000;

    // Loads the "Player" settings, makes the timer ("CreateWaitableTimer" on
    // failure) and registers the object-changed and scene-changed listeners,
    // which stop playback.
    explicit MoviePlayer(Connections connections);
    // Stops playback and writes the settings back.
    ~MoviePlayer();
    MoviePlayer(const MoviePlayer&) = delete;
    MoviePlayer& operator=(const MoviePlayer&) = delete;

    // Starts at the current scene's cursor; nothing while playing.
    void play();
    // Nothing while stopped.
    void stop();
    // The timer's callback.
    void tick();
    void presentFrames();
    void requestFrames();
    void requestAudio();
    void submitAudio();

    // Video render thread: queues an 8-bit copy of the frame.
    void onFrameRendered(int32_t frame, Media::RenderBuffer& buffer);
    // Audio render thread: queues the frame's samples, interleaved.
    void onAudioRendered(int32_t frame, Media::AudioBuffer& samples);

    // Seconds on the player's clock; setClock makes it read t now.
    double clock() const;
    void setClock(double t);

    bool isPlaying() const { return playing_.load(); }
    // The image of the frame being presented; valid only inside a
    // render-result listener called with (2, frame), which runs with the
    // frame queue locked. Read it under the image's own mutex.
    Media::FrameImage* presentedImage() const NO_THREAD_SAFETY_ANALYSIS;

    // The state of the playback in progress, for whoever watches it.
    int32_t framesAhead() const { return framesAhead_; }
    double startTime() const { return startTime_; }
    double endTime() const { return endTime_; }
    int32_t startFrame() const { return startFrame_; }
    int32_t lastFrame() const { return lastFrame_; }
    int32_t nextFrame();
    int32_t nextAudioFrame();
    size_t queuedFrames();
    size_t queuedAudio();

    // "Player" of the main settings.
    int32_t volume = 100;
    int32_t returnCursorPosition = 1;
    int32_t bufferTime = 500;

private:
    struct QueuedFrame {
        int32_t frame;
        std::unique_ptr<Media::FrameImage> image;
    };
    struct QueuedAudio {
        int32_t frame;
        std::unique_ptr<System::AlignedBuffer> block;
    };

    double frameTime(int64_t frame) const;
    bool renderersIdle();
    // When the output has started and its voice holds nothing.
    bool outputStarved() const;

    Connections connections_;
    std::shared_ptr<Edit::Scene> scene_;  // the scene being played
    // Cleared on destruction: the event listeners then do nothing.
    std::shared_ptr<MoviePlayer*> self_;
    std::atomic<bool> playing_{false};

    Platform::os::Mutex frameMutex_;
    Platform::os::Mutex audioMutex_;
    int32_t nextFrame_ GUARDED_BY(frameMutex_) = 0;
    int32_t nextAudioFrame_ GUARDED_BY(audioMutex_) = 0;
    int32_t startFrame_ = 0;
    int32_t lastFrame_ = 0;
    double startTime_ = 0;
    double endTime_ = 0;
    int32_t framesAhead_ = 2;
    // Until the sound first starts, a pre-roll that has everything ready ends at once.
    bool preroll_ = false;
    int32_t rate_ = 30;
    int32_t scale_ = 1;
    int64_t origin_ = 0;
    Sync::Timer timer_;
    std::deque<QueuedFrame> frames_ GUARDED_BY(frameMutex_);
    std::deque<QueuedAudio> audioQueue_ GUARDED_BY(audioMutex_);

    System::Config::ParameterGroup group_{"Player"};
    System::Config::Int volumeParameter_{group_, "Volume", &volume, 100};
    System::Config::Int returnCursorParameter_{group_, "ReturnCursorPosition", &returnCursorPosition, 1};
    System::Config::Int bufferTimeParameter_{group_, "BufferTime", &bufferTime, 500};
    System::Config::ParameterBinding binding_;
};

}  // namespace Render
