#include "media/audio/AudioBuffer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/Exception.h"
#include "media/audio/AudioSpectrum.h"
#include "media/audio/RawAudioBuffer.h"
#include "platform/os/ErrorText.h"

namespace Media {
namespace {

constexpr const char* kAllocScope = "System::AlignedBuffer::allocMemory";

// Bytes of n samples or frames of the given size, padded to whole groups of
// eight; more than the buffer can address is an allocation failure.
uint32_t paddedBytes(int64_t count, int64_t unit) {
    const int64_t bytes = ((count + 7) & ~int64_t{7}) * unit;
    if (bytes > UINT32_MAX) throw System::win32ErrorException(kAllocScope, Platform::os::kErrorOutOfMemory);
    return static_cast<uint32_t>(bytes);
}

void allocPadded(System::AlignedBuffer& buffer, int64_t count, int64_t unit) {
    buffer.allocMemory(paddedBytes(count, unit));
    buffer.allocMemory(static_cast<uint32_t>(count * unit));
}

// x * 32768 to the nearest integer, ties to even, saturated (NaN gives the low
// end). Adding and taking away 1.5 * 2^23 rounds in the default rounding mode,
// in a form that vectorises.
inline int16_t toPcm16(float x) {
    float v = x * 32768.0f;
    v = v > -32768.0f ? v : -32768.0f;
    v = v < 32767.0f ? v : 32767.0f;
    constexpr float kRound = 12582912.0f;
    return static_cast<int16_t>(static_cast<int32_t>((v + kRound) - kRound));
}

inline float limitLevel(float v) { return std::clamp(v, 0.0f, 32767.0f); }

}  // namespace

void AudioBuffer::resize(int32_t newSamples, int32_t newChannels) {
    const int64_t count = std::max<int32_t>(newSamples, 0);
    try {
        allocPadded(planeA, count, 4);
        if (newChannels == 2)
            allocPadded(planeB, count, 4);
        else
            planeB.freeMemory();
    } catch (...) {
        samples = 0;  // nothing is addressed through a plane that was not had
        throw;
    }
    samples = static_cast<int32_t>(count);
    channels = newChannels;
    // The padding after the samples stays zero, so that work done eight
    // samples at a time never carries an old value into a result.
    const size_t padding = static_cast<size_t>(((count + 7) & ~int64_t{7}) - count) * sizeof(float);
    if (padding == 0) return;
    std::memset(reinterpret_cast<float*>(planeA.data()) + count, 0, padding);
    if (channels == 2) std::memset(reinterpret_cast<float*>(planeB.data()) + count, 0, padding);
}

float* AudioBuffer::getChannel(int32_t index) const {
    // Only a stereo buffer has a plane B; any other count answers with plane A.
    const System::AlignedBuffer& plane = (index == 1 || channels != 2) ? planeA : planeB;
    return reinterpret_cast<float*>(plane.data());
}

void AudioBuffer::clear() { clearFrom(0); }

void AudioBuffer::clearFrom(int32_t index) {
    const int32_t from = std::max(index, 0);
    if (from >= samples) return;
    // Through the padding, which stays zero.
    const int32_t padded = (samples + 7) & ~7;
    const size_t bytes = static_cast<size_t>(padded - from) * sizeof(float);
    std::memset(reinterpret_cast<float*>(planeA.data()) + from, 0, bytes);
    if (channels == 2) std::memset(reinterpret_cast<float*>(planeB.data()) + from, 0, bytes);
}

void AudioBuffer::convertTo(RawAudioBuffer& block) const {
    enum class Kind { Stereo16, StereoFloat, MonoFloat, None };
    Kind kind = Kind::None;
    if (block.channels == 2 && block.formatTag == RawAudioBuffer::kFormatPcm && block.bitsPerSample == 16)
        kind = Kind::Stereo16;
    else if (block.channels == 2 && block.formatTag == RawAudioBuffer::kFormatIeeeFloat && block.bitsPerSample == 32)
        kind = Kind::StereoFloat;
    else if (block.channels == 1 && block.formatTag == RawAudioBuffer::kFormatIeeeFloat && block.bitsPerSample == 32)
        kind = Kind::MonoFloat;
    // The frames are written at the format's own size: a block alignment that
    // differs would run past the storage.
    const int32_t frameBytes = block.channels * block.bitsPerSample / 8;
    if (kind == Kind::None || block.blockAlign != frameBytes)
        throw System::formatException("Media::AudioBuffer::convertTo", "audio format not supported.",
                                      L"format = %d, bit = %d, ch = %d", block.formatTag, block.bitsPerSample,
                                      block.channels);

    const int32_t n = samples;
    allocPadded(block.data, n, frameBytes);
    block.sampleCount = n;

    // Whole groups of eight: the planes are padded to them.
    const int32_t padded = (n + 7) & ~7;
    const float* left = getChannel(0);
    const float* right = getChannel(1);
    switch (kind) {
    case Kind::Stereo16: {
        auto* out = reinterpret_cast<int16_t*>(block.data.data());
        for (int32_t i = 0; i < padded; ++i) {
            out[2 * i] = toPcm16(left[i]);
            out[2 * i + 1] = toPcm16(right[i]);
        }
        break;
    }
    case Kind::StereoFloat: {
        auto* out = reinterpret_cast<float*>(block.data.data());
        for (int32_t i = 0; i < padded; ++i) {
            out[2 * i] = left[i];
            out[2 * i + 1] = right[i];
        }
        break;
    }
    case Kind::MonoFloat: {
        auto* out = reinterpret_cast<float*>(block.data.data());
        for (int32_t i = 0; i < padded; ++i) out[i] = right[i] + left[i];
        break;
    }
    case Kind::None:
        break;
    }
}

std::vector<float> AudioBuffer::getSpectrum(int32_t requested) const {
    if (requested <= 0) return {};
    const int bands = std::min(requested, 1024);
    std::vector<float> re(kFftSize), im(kFftSize), power(kFftBins), filled(kFftBins), sums(kSpectrumBands);
    std::vector<float> level(kSpectrumBands, 0.0f);

    const int64_t n = samples;
    for (int64_t start = 0; start < n; start += kFftSize) {
        for (int channel = 0; channel < 2; ++channel) {
            const float* x = getChannel(channel);
            for (int k = 0; k < kFftSize; ++k) re[k] = x[(start + k) % n];
            computeFft(re.data(), im.data());
            for (int k = 0; k < kFftBins; ++k) power[k] = re[k] * re[k] + im[k] * im[k];
            filled = power;
            for (int k = 1; k <= 510; ++k) filled[k] = std::max(power[k], std::min(power[k - 1], power[k + 1]));
            sumSpectrumBands(filled.data(), sums.data());
            for (int e = 0; e < kSpectrumBands; ++e)
                level[e] = std::max(level[e], limitLevel(std::sqrt(sums[e]) * 48.0f - 64.0f));
        }
    }

    std::vector<float> smooth(kSpectrumBands + 1, 0.0f);  // smooth[512] stays 0
    for (int i = 0; i < kSpectrumBands; ++i) {
        float sum = 2.0f * level[i], weight = 2.0f;
        if (i > 0) sum += level[i - 1], weight += 1.0f;
        if (i + 1 < kSpectrumBands) sum += level[i + 1], weight += 1.0f;
        smooth[i] = sum / weight;
    }

    std::vector<float> r(bands + 1, 0.0f);  // a target at bands is dropped
    if (bands <= kSpectrumBands) {
        for (int i = 0; i < kSpectrumBands; ++i) {
            const int t = (bands * i + 256) / 512;
            r[t] = std::max(r[t], smooth[i]);
        }
    } else {
        for (int j = 0; j < bands; ++j) {
            const float c = static_cast<float>(j) * 512.0f / static_cast<float>(bands);
            const int m = static_cast<int>(std::floor(c));
            const float w = static_cast<float>(m + 1) - c;
            r[j] = w * smooth[m] + (1.0f - w) * smooth[m + 1];
        }
    }
    r.resize(bands);

    if (bands < 16) return r;
    std::vector<float> out(bands);
    if (bands < 128) {
        const float side = 2.0f * static_cast<float>(bands);
        for (int j = 0; j < bands; ++j) {
            float sum = 512.0f * r[j], weight = 512.0f;
            if (j > 0) sum += side * r[j - 1], weight += side;
            if (j + 1 < bands) sum += side * r[j + 1], weight += side;
            out[j] = sum / weight;
        }
    } else {
        const int h = bands / 128;
        for (int j = 0; j < bands; ++j) {
            float sum = 0.0f, weight = 0.0f;
            for (int d = -h; d <= h; ++d) {
                if (j + d < 0 || j + d >= bands) continue;
                const float w = static_cast<float>(h + 1 - std::abs(d));
                sum += w * r[j + d];
                weight += w;
            }
            out[j] = sum / weight;
        }
    }
    return out;
}

std::vector<float> AudioBuffer::getFourier() const {
    RawAudioBuffer mono;
    mono.formatTag = RawAudioBuffer::kFormatIeeeFloat;
    mono.bitsPerSample = 32;
    mono.channels = 1;
    mono.blockAlign = 4;
    convertTo(mono);

    std::vector<float> re(kFftSize), im(kFftSize), out(kFftBins, 0.0f);
    const int64_t m = mono.sampleCount;
    const auto* x = reinterpret_cast<const float*>(mono.data.data());
    for (int64_t start = 0; start < m; start += kFftSize) {
        for (int k = 0; k < kFftSize; ++k) re[k] = x[(start + k) % m];
        computeFft(re.data(), im.data());
        for (int k = 0; k < kFftBins; ++k) out[k] = limitLevel(std::sqrt(re[k] * re[k] + im[k] * im[k]) * 48.0f);
    }
    return out;
}

}  // namespace Media
