#pragma once
#include <cstdint>

#include "platform/audio/WaveFormat.h"

namespace Platform::audio {

class Engine;

// The output device: mixes every started source voice.
class MasteringVoice {
public:
    void getVoiceDetails(VoiceDetails& details) const;
    // Closes the device; the source voices fall silent.
    void destroyVoice();

private:
    friend class Engine;
    MasteringVoice(Engine& engine, uint32_t device, uint32_t channels, uint32_t sampleRate)
        : engine_(engine), device_(device), channels_(channels), sampleRate_(sampleRate) {}

    Engine& engine_;
    uint32_t device_;
    uint32_t channels_;
    uint32_t sampleRate_;
};

}  // namespace Platform::audio
