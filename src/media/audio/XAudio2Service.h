#pragma once
#include <cstdint>
#include <deque>
#include <memory>

#include "core/AlignedBuffer.h"
#include "core/ServiceHolder.h"

namespace Platform::audio {
class Engine;
class MasteringVoice;
class SourceVoice;
}  // namespace Platform::audio

// The process-wide audio output: one stereo float source voice at the rate of
// the scene being played, fed with interleaved blocks that are kept alive here
// until the voice has played them. Without an audio device it has no voices
// and every operation is harmless.
namespace Media {

class XAudio2Service {
public:
    XAudio2Service();
    ~XAudio2Service();
    XAudio2Service(const XAudio2Service&) = delete;
    XAudio2Service& operator=(const XAudio2Service&) = delete;

    static XAudio2Service* get() { return System::ServiceSlot<XAudio2Service>::instance; }

    // Makes the voices ready for a sample rate. Never throws: a failure is
    // logged and leaves the service without voices.
    void createPlayer(int32_t rate);
    void play();
    void stop();
    // Percent, limited to 0..100.
    void setVolume(int32_t percent);
    // Takes the block (its used size is its byte count) and queues it on the voice.
    void submitBuffer(std::unique_ptr<System::AlignedBuffer> block);
    void pushBuffer(std::unique_ptr<System::AlignedBuffer> block);
    // Frees the oldest blocks until the queue holds as many as the voice.
    void releasePlayedBuffers();
    void clearBuffer();
    void release();

    size_t queuedBlockCount() const { return blocks.size(); }
    int32_t queuedBytes() const { return blockBytes; }
    bool isPlaying() const { return playing; }

    std::deque<std::unique_ptr<System::AlignedBuffer>> blocks;  // oldest first
    int32_t blockBytes = 0;
    std::unique_ptr<Platform::audio::Engine> xaudio2;
    Platform::audio::MasteringVoice* masteringVoice = nullptr;
    Platform::audio::SourceVoice* sourceVoice = nullptr;
    int32_t sampleRate = 0;
    bool playing = false;

private:
    void initialize();
    void destroyVoices();
    void popOldest();
};

}  // namespace Media
