#pragma once
#include <cstdint>

#include "core/AlignedBuffer.h"

// A raw interleaved audio block: what readers deliver and what export and
// playback take. The wave format tag says integer PCM or IEEE float.
namespace Media {

class RawAudioBuffer {
public:
    static constexpr int32_t kFormatPcm = 1;
    static constexpr int32_t kFormatIeeeFloat = 3;

    System::AlignedBuffer data;  // its used size is the byte count
    int32_t sampleCount = 0;     // sample frames
    int32_t blockAlign = 0;      // bytes per sample frame
    int32_t formatTag = 0;
    int32_t bitsPerSample = 0;
    int32_t channels = 0;
};

}  // namespace Media
