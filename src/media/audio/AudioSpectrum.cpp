#include "media/audio/AudioSpectrum.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <utility>

namespace Media {
namespace {

constexpr float kPi = 3.14159265358979323846f;

uint32_t reverseBits(uint32_t value, int bits) {
    uint32_t out = 0;
    for (int i = 0; i < bits; ++i) out = (out << 1) | ((value >> i) & 1u);
    return out;
}

struct FftTables {
    std::array<uint16_t, kFftSize> reversed{};  // 11-bit reversal
    std::array<float, kFftBins> cosine{};       // by the group's 10-bit reversed index
    std::array<float, kFftBins> sine{};
    FftTables() {
        for (uint32_t i = 0; i < kFftSize; ++i) reversed[i] = static_cast<uint16_t>(reverseBits(i, 11));
        for (uint32_t g = 0; g < kFftBins; ++g) {
            const float t = static_cast<float>(reverseBits(g, 10)) * (2.0f * kPi / kFftSize);
            cosine[g] = std::cos(t);
            sine[g] = std::sin(t);
        }
    }
};

const FftTables& fftTables() {
    static const FftTables tables;
    return tables;
}

struct BandEdges {
    std::array<float, kSpectrumBands + 1> edge{};
    BandEdges() {
        const float step = std::pow(384.0f, 1.0f / kSpectrumBands);
        float grow = 1.0f;
        for (int e = 0; e <= kSpectrumBands; ++e) {
            const float r = static_cast<float>(e) / kSpectrumBands;
            // The repeated product may end a hair past the last bin.
            edge[e] = std::fmin(256.0f * std::pow(r, 9.0f) + 2.0f * grow, static_cast<float>(kFftBins));
            grow *= step;
        }
    }
};

const BandEdges& bandEdges() {
    static const BandEdges edges;
    return edges;
}

float bandSum(const float* power, float lo, float hi) {
    const int first = static_cast<int>(std::floor(lo));
    if (hi - lo < 1.0f) {
        const float next = first + 1 < kFftBins ? power[first + 1] : power[first];
        return (power[first] + (next - power[first]) * (lo - first)) * (hi - lo);
    }
    const int last = static_cast<int>(std::floor(hi));
    float sum = (first + 1 - lo) * power[first];
    for (int k = first + 1; k < last; ++k) sum += power[k];
    if (last < kFftBins) sum += (hi - last) * power[last];
    return sum;
}

}  // namespace

void computeFft(float* re, float* im) {
    const FftTables& t = fftTables();
    for (int i = 0; i < kFftSize; ++i) {
        im[i] = 0.0f;
        const int j = t.reversed[i];
        if (i < j) std::swap(re[i], re[j]);
    }
    // With the input in bit-reversed order, each group of a pass shares one
    // twiddle, and the result comes out in natural order.
    for (int span = 1; span < kFftSize; span *= 2) {
        for (int group = 0; group * 2 * span < kFftSize; ++group) {
            const float wr = t.cosine[group];
            const float wi = t.sine[group];
            const int base = group * 2 * span;
            for (int i = base; i < base + span; ++i) {
                const float xr = re[i], xi = im[i];
                const float yr = re[i + span], yi = im[i + span];
                re[i] = xr + yr;
                im[i] = xi + yi;
                const float dr = xr - yr, di = xi - yi;
                re[i + span] = dr * wr - di * wi;
                im[i + span] = dr * wi + di * wr;
            }
        }
    }
}

void sumSpectrumBands(const float* power, float* bands) {
    const BandEdges& edges = bandEdges();
    for (int e = 1; e <= kSpectrumBands; ++e) bands[e - 1] = bandSum(power, edges.edge[e - 1], edges.edge[e]);
}

}  // namespace Media
