// One second of stereo audio at 48000 Hz through the paths every block takes:
// raw 16-bit PCM to planes, planes to interleaved float for playback and to
// 16-bit PCM for export, and the two spectra scripts and the waveform ask for.
#include <benchmark/benchmark.h>

#include <cmath>

#include "media/audio/AudioBlockBuffer.h"
#include "media/audio/RawAudioBuffer.h"

namespace {

constexpr int32_t kRate = 48000;

Media::RawAudioBuffer pcmSecond() {
    Media::RawAudioBuffer raw;
    raw.formatTag = Media::RawAudioBuffer::kFormatPcm;
    raw.bitsPerSample = 16;
    raw.channels = 2;
    raw.blockAlign = 4;
    raw.data.allocMemory(kRate * 4);
    auto* s = reinterpret_cast<int16_t*>(raw.data.data());
    for (int32_t i = 0; i < kRate * 2; ++i) s[i] = static_cast<int16_t>(20000 * std::sin(i * 0.01));
    return raw;
}

Media::RawAudioBuffer output(int32_t tag, int32_t bits, int32_t channels) {
    Media::RawAudioBuffer raw;
    raw.formatTag = tag;
    raw.bitsPerSample = bits;
    raw.channels = channels;
    raw.blockAlign = channels * bits / 8;
    return raw;
}

void FromPcm16(benchmark::State& state) {
    const Media::RawAudioBuffer raw = pcmSecond();
    for (auto _ : state) {
        Media::AudioBlockBuffer block(raw);
        benchmark::DoNotOptimize(block.getChannel(0));
    }
}
BENCHMARK(FromPcm16);

void ToRaw(benchmark::State& state) {
    const Media::AudioBlockBuffer block(pcmSecond());
    Media::RawAudioBuffer out = output(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)),
                                       static_cast<int32_t>(state.range(2)));
    for (auto _ : state) {
        block.convertTo(out);
        benchmark::DoNotOptimize(out.data.data());
    }
}
BENCHMARK(ToRaw)->Args({1, 16, 2})->Args({3, 32, 2})->Args({3, 32, 1});

void Spectrum(benchmark::State& state) {
    const Media::AudioBlockBuffer block(pcmSecond());
    for (auto _ : state) benchmark::DoNotOptimize(block.getSpectrum(static_cast<int32_t>(state.range(0))));
}
BENCHMARK(Spectrum)->Arg(64)->Arg(1024);

void Fourier(benchmark::State& state) {
    const Media::AudioBlockBuffer block(pcmSecond());
    for (auto _ : state) benchmark::DoNotOptimize(block.getFourier());
}
BENCHMARK(Fourier);

}  // namespace

BENCHMARK_MAIN();
