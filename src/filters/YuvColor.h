#pragma once
#include <array>

#include "effect/EffectItemColor.h"

namespace Effect {

// The luminance and colour difference of a colour item, from its bytes
// divided by 255, with the coefficients of the colour shaders.
inline std::array<float, 3> yuvOf(const EffectItemColor& color) {
    const float r = color.red / 255.0f, g = color.green / 255.0f, b = color.blue / 255.0f;
    return {0.299f * r + 0.587f * g + 0.114f * b, -0.169f * r - 0.331f * g + 0.5f * b,
            0.5f * r - 0.419f * g - 0.081f * b};
}

}  // namespace Effect
