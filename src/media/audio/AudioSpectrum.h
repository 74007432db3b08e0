#pragma once

// The transform and band sums behind the spectra of the audio buffer.
namespace Media {

inline constexpr int kFftSize = 2048;
inline constexpr int kFftBins = 1024;
inline constexpr int kSpectrumBands = 512;

// In place over a real block of 2048 samples in re; im is zeroed first.
// Afterwards re and im hold a transform with the standard magnitudes.
void computeFft(float* re, float* im);

// Sums power[0..1023] (bins as unit intervals) into 512 bands whose edges grow
// from bin 2 to bin 1024.
void sumSpectrumBands(const float* power, float* bands);

}  // namespace Media
