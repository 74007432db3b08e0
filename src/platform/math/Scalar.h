#pragma once

namespace Platform::math {

inline constexpr float kPi = 3.141592654f;

inline constexpr float toRadians(float degrees) { return degrees * (kPi / 180.0f); }

// Sine and cosine of one angle in radians.
void sinCos(float angle, float& sine, float& cosine);

// Arc-cosine by a short polynomial (absolute error below 7e-5); the input is
// clamped to -1..1.
float acosEst(float value);

}  // namespace Platform::math
