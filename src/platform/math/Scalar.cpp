#include "platform/math/Scalar.h"

#include <algorithm>
#include <cmath>

namespace Platform::math {

void sinCos(float angle, float& sine, float& cosine) {
    sine = std::sin(angle);
    cosine = std::cos(angle);
}

float acosEst(float value) {
    const float x = std::clamp(value, -1.0f, 1.0f);
    const float a = std::fabs(x);
    // Abramowitz and Stegun 4.4.45.
    const float p = 1.5707288f + a * (-0.2121144f + a * (0.0742610f + a * -0.0187293f));
    const float r = p * std::sqrt(1.0f - a);
    return x >= 0.0f ? r : kPi - r;
}

}  // namespace Platform::math
