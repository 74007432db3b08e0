#pragma once
#include <cstdint>

#include "platform/os/Result.h"

namespace Platform::audio {

inline constexpr uint16_t kFormatIeeeFloat = 3;

struct WaveFormat {
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
};

struct VoiceDetails {
    uint32_t inputChannels = 0;
    uint32_t inputSampleRate = 0;
};

// A call that the voice's state does not allow (the platform's number).
inline constexpr Result kInvalidCall = static_cast<Result>(0x88960001u);

// Source rates a voice accepts.
inline constexpr uint32_t kMinSampleRate = 1000;
inline constexpr uint32_t kMaxSampleRate = 200000;

}  // namespace Platform::audio
