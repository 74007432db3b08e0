#include "media/audio/AudioBlockBuffer.h"

#include <cstring>

#include "core/Exception.h"
#include "media/audio/RawAudioBuffer.h"

namespace Media {

AudioBlockBuffer::AudioBlockBuffer(int32_t samples, int32_t channels) {
    resize(samples, channels);
    clear();
}

AudioBlockBuffer::AudioBlockBuffer(const RawAudioBuffer& raw) {
    const uint32_t bytes = raw.data.size();
    const bool isFloat = raw.formatTag == RawAudioBuffer::kFormatIeeeFloat && raw.bitsPerSample == 32;
    const bool isPcm16 = raw.formatTag == RawAudioBuffer::kFormatPcm && raw.bitsPerSample == 16;
    if (isFloat && raw.channels == 2) {
        const int32_t n = static_cast<int32_t>(bytes / 8);
        resize(n, 2);
        const auto* in = reinterpret_cast<const float*>(raw.data.data());
        float* left = getChannel(0);
        float* right = getChannel(1);
        for (int32_t i = 0; i < n; ++i) {
            left[i] = in[2 * i];
            right[i] = in[2 * i + 1];
        }
    } else if (isFloat && raw.channels == 1) {
        const int32_t n = static_cast<int32_t>(bytes / 4);
        resize(n, 1);
        if (n > 0) std::memcpy(getChannel(0), raw.data.data(), static_cast<size_t>(n) * 4);
    } else if (isPcm16 && raw.channels == 2) {
        const int32_t n = static_cast<int32_t>(bytes / 4);
        resize(n, 2);
        const auto* in = reinterpret_cast<const int16_t*>(raw.data.data());
        float* left = getChannel(0);
        float* right = getChannel(1);
        constexpr float kScale = 1.0f / 32768.0f;
        for (int32_t i = 0; i < n; ++i) {
            left[i] = in[2 * i] * kScale;
            right[i] = in[2 * i + 1] * kScale;
        }
    } else {
        throw System::formatException("Media::AudioBlockBuffer::AudioBlockBuffer", "invalid convert audio format.",
                                      L"format=%d bit=%d channel=%d", raw.formatTag, raw.bitsPerSample,
                                      raw.channels);
    }
}

}  // namespace Media
