#pragma once

#include "media/audio/AudioBuffer.h"

// A planar block converted from a raw block (stereo or mono float, stereo
// 16-bit PCM); the audio cache shares it.
namespace Media {

class RawAudioBuffer;

class AudioBlockBuffer : public AudioBuffer {
public:
    explicit AudioBlockBuffer(const RawAudioBuffer& raw);
    // A cleared block of the size, for a block rendered in place.
    AudioBlockBuffer(int32_t samples, int32_t channels);
};

}  // namespace Media
