#pragma once
#include <cstdint>
#include <vector>

#include "core/AlignedBuffer.h"

// Planar 32-bit float audio, mono or stereo. Each plane is 32-byte aligned and
// padded to whole groups of eight samples so that it can be cleared and
// converted eight samples at a time. The left channel (channel 0) lives in
// plane B of a stereo buffer; channel 1 is always plane A, so a mono buffer
// answers both channels with its one plane.
namespace Media {

class RawAudioBuffer;

class AudioBuffer {
public:
    // Storage only grows. Any channel count but 2 frees plane B.
    void resize(int32_t samples, int32_t channels);
    void clear();
    // Zeroes from index to the end; nothing when index is not below the count.
    void clearFrom(int32_t index);

    float* getChannel(int32_t index) const;

    // Fills a block whose format tag, bits, channels and block alignment the
    // caller has set: stereo 16-bit PCM, stereo float, or one float channel
    // holding the sum of both channels.
    void convertTo(RawAudioBuffer& block) const;

    // Smoothed band levels (at most 1024 bands, 0..32767); none for bands <= 0.
    std::vector<float> getSpectrum(int32_t bands) const;
    // 1024 magnitudes of the last 2048-sample block of the channel sum.
    std::vector<float> getFourier() const;

    System::AlignedBuffer planeA;
    System::AlignedBuffer planeB;
    int32_t channels = 0;
    int32_t samples = 0;
};

}  // namespace Media
