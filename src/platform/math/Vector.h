#pragma once

namespace Platform::math {

struct Float3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

struct Float4 {
    float x = 0.0f, y = 0.0f, z = 0.0f, w = 0.0f;
};

Float3 add(const Float3& a, const Float3& b);
Float3 subtract(const Float3& a, const Float3& b);
Float3 scale(const Float3& a, float factor);
float dot(const Float3& a, const Float3& b);
// Left-handed cross product (the same formula; handedness shows in its use).
Float3 cross(const Float3& a, const Float3& b);
float length(const Float3& a);
// A zero vector stays zero.
Float3 normalize(const Float3& a);

}  // namespace Platform::math
