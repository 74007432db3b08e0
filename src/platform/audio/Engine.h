#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/audio/WaveFormat.h"
#include "platform/os/ThreadSafety.h"

namespace Platform::audio {

class MasteringVoice;
class SourceVoice;

// The audio engine. Creating it starts SDL's audio subsystem; its voices are
// owned by it and ended by their destroyVoice or with the engine.
class Engine {
public:
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Opens the default output device: channels and rate 0 take the defaults
    // (stereo, 48000 Hz, or what the device offers). One per engine.
    Result createMasteringVoice(MasteringVoice** voice, uint32_t channels = 0, uint32_t sampleRate = 0);
    // A voice of IEEE float samples, one or two channels, feeding the mastering voice.
    Result createSourceVoice(SourceVoice** voice, const WaveFormat& format);

private:
    friend class MasteringVoice;
    friend class SourceVoice;
    friend Result createEngine(std::unique_ptr<Engine>&, uint32_t, uint32_t);
    Engine() = default;

    static void mix(void* engine, uint8_t* stream, int bytes);
    void destroyMaster();
    void destroySource(SourceVoice* voice);

    Platform::os::Mutex mutex_;  // voices and their queues, against the device's thread
    std::unique_ptr<MasteringVoice> master_ GUARDED_BY(mutex_);
    std::vector<std::unique_ptr<SourceVoice>> sources_ GUARDED_BY(mutex_);
};

// The library's entry points, found when the library is loaded.
Result createEngine(std::unique_ptr<Engine>& engine, uint32_t flags, uint32_t processor);
Result createEngineWithVersionInfo(std::unique_ptr<Engine>& engine, uint32_t flags, uint32_t processor,
                                   uint32_t version);

struct Library {
    Result (*createWithVersionInfo)(std::unique_ptr<Engine>&, uint32_t, uint32_t, uint32_t) = nullptr;
    Result (*create)(std::unique_ptr<Engine>&, uint32_t, uint32_t) = nullptr;
};

// SDL is linked in, so loading always succeeds; the caller keeps its path for
// a missing library.
const Library* loadLibrary();

}  // namespace Platform::audio
