#pragma once
#include <cstdint>
#include <deque>

#include "platform/audio/Engine.h"
#include "platform/audio/WaveFormat.h"

namespace Platform::audio {

class Engine;

// A buffer handed to a source voice: played whole, once. The caller keeps the
// memory alive until the voice no longer counts the buffer as queued.
struct Buffer {
    uint32_t audioBytes = 0;
    const uint8_t* audioData = nullptr;
};

struct VoiceState {
    uint32_t buffersQueued = 0;  // including the one being played
    uint64_t samplesPlayed = 0;  // sample frames since the voice was created
};

inline constexpr uint32_t kVoiceNoSamplesPlayed = 256;
inline constexpr uint32_t kMaxQueuedBuffers = 64;

// Plays its queued buffers in order while started, resampled linearly to the
// device's rate and scaled by its volume.
class SourceVoice {
public:
    Result start();
    Result stop();  // keeps the position and the queue
    Result submitSourceBuffer(const Buffer& buffer);
    // Removes every queued buffer, also the one being played: afterwards the
    // voice touches none of their memory.
    Result flushSourceBuffers();
    void getState(VoiceState& state, uint32_t flags) const;
    Result setVolume(float volume);
    void getVolume(float& volume) const;
    Result setSourceSampleRate(uint32_t sampleRate);
    void getVoiceDetails(VoiceDetails& details) const;
    void destroyVoice();

private:
    friend class Engine;
    SourceVoice(Engine& engine, const WaveFormat& format) : engine_(engine), format_(format) {}

    // Adds frames at deviceRate into out (device channels interleaved).
    void mixInto(float* out, uint32_t frames, uint32_t deviceChannels, uint32_t deviceRate) REQUIRES(engine_.mutex_);
    bool frameAt(uint64_t index, float& left, float& right) const REQUIRES(engine_.mutex_);

    Engine& engine_;
    WaveFormat format_ GUARDED_BY(engine_.mutex_);
    std::deque<Buffer> queue_ GUARDED_BY(engine_.mutex_);
    double position_ GUARDED_BY(engine_.mutex_) = 0;  // in frames of the front buffer
    uint64_t played_ GUARDED_BY(engine_.mutex_) = 0;  // frames of buffers already finished
    float volume_ GUARDED_BY(engine_.mutex_) = 1.0f;
    bool started_ GUARDED_BY(engine_.mutex_) = false;
};

}  // namespace Platform::audio
