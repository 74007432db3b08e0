#include "plugin/PluginAudioBlock.h"

#include <cstring>

#include "media/audio/AudioBlockBuffer.h"
#include "media/audio/RawAudioBuffer.h"

namespace Plugin {

std::shared_ptr<Media::AudioBlockBuffer> makeAudioBlock(const Media::RawAudioBuffer& raw) {
    if (raw.formatTag != Media::RawAudioBuffer::kFormatPcm || raw.bitsPerSample != 16 || raw.channels != 1)
        return std::make_shared<Media::AudioBlockBuffer>(raw);
    Media::RawAudioBuffer wide;
    wide.formatTag = Media::RawAudioBuffer::kFormatIeeeFloat;
    wide.bitsPerSample = 32;
    wide.channels = 1;
    wide.blockAlign = 4;
    const uint32_t n = raw.data.size() / 2;
    wide.sampleCount = static_cast<int32_t>(n);
    wide.data.allocMemory(n * 4);
    const auto* in = reinterpret_cast<const int16_t*>(raw.data.data());
    auto* out = reinterpret_cast<float*>(wide.data.data());
    for (uint32_t i = 0; i < n; ++i) out[i] = in[i] * (1.0f / 32768.0f);
    return std::make_shared<Media::AudioBlockBuffer>(wide);
}

uint32_t prepareSilentBlock(Media::RawAudioBuffer& raw, int32_t formatTag, int32_t bitsPerSample, int32_t channels,
                            int32_t sampleRate) {
    raw.formatTag = formatTag;
    raw.bitsPerSample = bitsPerSample;
    raw.channels = channels;
    raw.blockAlign = channels * bitsPerSample / 8;
    raw.sampleCount = sampleRate;
    const uint32_t bytes = static_cast<uint32_t>(raw.blockAlign) * static_cast<uint32_t>(sampleRate);
    raw.data.allocMemory(bytes);
    std::memset(raw.data.data(), 0, bytes);
    return bytes;
}

bool isBlockAudioFormat(int32_t formatTag, int32_t bitsPerSample, int32_t channels) {
    if (channels != 1 && channels != 2) return false;
    return (formatTag == Media::RawAudioBuffer::kFormatPcm && bitsPerSample == 16) ||
           (formatTag == Media::RawAudioBuffer::kFormatIeeeFloat && bitsPerSample == 32);
}

}  // namespace Plugin
