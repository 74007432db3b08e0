#include "platform/audio/Engine.h"

#include <SDL.h>

#include <cerrno>
#include <cstring>

#include "platform/audio/MasteringVoice.h"
#include "platform/audio/SourceVoice.h"

namespace Platform::audio {
namespace {

constexpr uint32_t kDefaultChannels = 2;
constexpr uint32_t kDefaultRate = 48000;
constexpr uint16_t kDeviceFrames = 1024;
constexpr uint32_t kMaxChannels = 8;

}  // namespace

Result createEngine(std::unique_ptr<Engine>& engine, uint32_t, uint32_t) {
    // Audio only; SDL must leave the process's signal handling alone.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return resultFromSystemError(ENODEV);
    engine.reset(new Engine());
    return kOk;
}

Result createEngineWithVersionInfo(std::unique_ptr<Engine>& engine, uint32_t flags, uint32_t processor, uint32_t) {
    return createEngine(engine, flags, processor);
}

const Library* loadLibrary() {
    static const Library library{&createEngineWithVersionInfo, &createEngine};
    return &library;
}

Engine::~Engine() {
    destroyMaster();
    {
        Platform::os::MutexLock lock(mutex_);
        sources_.clear();
    }
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

Result Engine::createMasteringVoice(MasteringVoice** voice, uint32_t channels, uint32_t sampleRate) {
    if (voice == nullptr) return kInvalidArg;
    *voice = nullptr;
    if (channels > kMaxChannels || (sampleRate != 0 && (sampleRate < kMinSampleRate || sampleRate > kMaxSampleRate)))
        return kInvalidArg;
    {
        Platform::os::MutexLock lock(mutex_);
        if (master_) return kInvalidCall;
    }
    SDL_AudioSpec want{};
    want.freq = static_cast<int>(sampleRate != 0 ? sampleRate : kDefaultRate);
    want.format = AUDIO_F32SYS;
    want.channels = static_cast<Uint8>(channels != 0 ? channels : kDefaultChannels);
    want.samples = kDeviceFrames;
    want.callback = &Engine::mix;
    want.userdata = this;
    int allowed = 0;
    if (sampleRate == 0) allowed |= SDL_AUDIO_ALLOW_FREQUENCY_CHANGE;
    if (channels == 0) allowed |= SDL_AUDIO_ALLOW_CHANNELS_CHANGE;
    SDL_AudioSpec have{};
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, allowed);
    if (device == 0) return resultFromSystemError(ENODEV);
    {
        Platform::os::MutexLock lock(mutex_);
        master_.reset(new MasteringVoice(*this, device, have.channels, static_cast<uint32_t>(have.freq)));
        *voice = master_.get();
    }
    SDL_PauseAudioDevice(device, 0);
    return kOk;
}

Result Engine::createSourceVoice(SourceVoice** voice, const WaveFormat& format) {
    if (voice == nullptr) return kInvalidArg;
    *voice = nullptr;
    if (format.formatTag != kFormatIeeeFloat || format.bitsPerSample != 32 || format.channels < 1 ||
        format.channels > 2 || format.blockAlign != format.channels * 4 || format.samplesPerSec < kMinSampleRate ||
        format.samplesPerSec > kMaxSampleRate)
        return kInvalidArg;
    Platform::os::MutexLock lock(mutex_);
    if (!master_) return kInvalidCall;
    sources_.push_back(std::unique_ptr<SourceVoice>(new SourceVoice(*this, format)));
    *voice = sources_.back().get();
    return kOk;
}

void Engine::mix(void* user, uint8_t* stream, int bytes) {
    auto* self = static_cast<Engine*>(user);
    std::memset(stream, 0, static_cast<size_t>(bytes));
    Platform::os::MutexLock lock(self->mutex_);
    if (!self->master_) return;
    const uint32_t channels = self->master_->channels_;
    const uint32_t frames = static_cast<uint32_t>(bytes) / (sizeof(float) * channels);
    for (const auto& source : self->sources_) {
        source->engine_.mutex_.assertHeld();  // every source is this engine's
        source->mixInto(reinterpret_cast<float*>(stream), frames, channels, self->master_->sampleRate_);
    }
}

void Engine::destroyMaster() {
    uint32_t device = 0;
    {
        Platform::os::MutexLock lock(mutex_);
        if (!master_) return;
        device = master_->device_;
    }
    // Outside the lock: closing waits for the device's thread, which takes it.
    SDL_CloseAudioDevice(device);
    Platform::os::MutexLock lock(mutex_);
    master_.reset();
}

void Engine::destroySource(SourceVoice* voice) {
    Platform::os::MutexLock lock(mutex_);
    std::erase_if(sources_, [voice](const std::unique_ptr<SourceVoice>& v) { return v.get() == voice; });
}

}  // namespace Platform::audio
