#pragma once

#include "media/audio/AudioBuffer.h"

// A planar block converted from a raw block (stereo or mono float, stereo
// 16-bit PCM); the audio cache shares it.
namespace Media {

class RawAudioBuffer;

class AudioBlockBuffer : public AudioBuffer {
public:
    explicit AudioBlockBuffer(const RawAudioBuffer& raw);
};

}  // namespace Media
