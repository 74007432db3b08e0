#include "platform/math/Vector.h"

#include <cmath>

namespace Platform::math {

Float3 add(const Float3& a, const Float3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }

Float3 subtract(const Float3& a, const Float3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

Float3 scale(const Float3& a, float factor) { return {a.x * factor, a.y * factor, a.z * factor}; }

float dot(const Float3& a, const Float3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Float3 cross(const Float3& a, const Float3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float length(const Float3& a) { return std::sqrt(dot(a, a)); }

Float3 normalize(const Float3& a) {
    const float l = length(a);
    if (l <= 0.0f) return a;
    return scale(a, 1.0f / l);
}

}  // namespace Platform::math
