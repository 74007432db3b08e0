#include <algorithm>
#include <cmath>

#include "core/Color.h"
#include "core/Curve.h"
#include "script/ScriptFunctions.h"

namespace Plugin::ScriptLibrary {

namespace {

int32_t clampByte(int32_t value) { return std::clamp(value, 0, 255); }

int32_t pack(int32_t r, int32_t g, int32_t b) { return (clampByte(r) << 16) | (clampByte(g) << 8) | clampByte(b); }

// Halves away from zero, clamped to a byte; NaN is 0.
int32_t roundByte(double value) {
    if (!(value == value)) return 0;
    return static_cast<int32_t>(std::clamp(std::round(value), 0.0, 255.0));
}

int32_t packFloat(const Media::ColorRgba& color) {
    return (roundByte(color.r * 255.0) << 16) | (roundByte(color.g * 255.0) << 8) | roundByte(color.b * 255.0);
}

double mix(double a, double b, double g) { return a * (1 - g) + b * g; }

// The integer arguments of a bit operation as unsigned 32-bit values.
void readPair(ScriptCall& call, uint32_t& a, uint32_t& b) {
    a = static_cast<uint32_t>(call.integer(1));
    b = static_cast<uint32_t>(call.integer(2));
}

}  // namespace

int interpolation(ScriptCall& call) {
    const int dimensions = call.count < 9 ? 1 : call.count < 13 ? 2 : 3;
    const double t = call.number(1);
    double coordinates[12] = {};
    for (int i = 0; i < 4 * dimensions; ++i) coordinates[i] = call.has(i + 2) ? call.number(i + 2) : 0;
    System::Point3 points[4];
    for (int p = 0; p < 4; ++p) {
        const double* c = coordinates + p * dimensions;
        points[p] = {c[0], dimensions >= 2 ? c[1] : 0, dimensions >= 3 ? c[2] : 0};
    }
    const System::Point3 at = System::interpolateCurve3D(t, points[0], points[1], points[2], points[3]);
    call.pushNumber(at.x);
    if (dimensions >= 2) call.pushNumber(at.y);
    if (dimensions >= 3) call.pushNumber(at.z);
    return dimensions;
}

int rotation(ScriptCall& call) {
    if (call.count != 10) return 0;
    float values[10];
    for (int i = 0; i < 10; ++i) values[i] = static_cast<float>(call.number(i + 1));
    const float scale = values[8];
    const float angle = values[9] * 0.017453292f;
    const float cosine = std::cos(angle), sine = std::sin(angle);
    for (int p = 0; p < 4; ++p) {
        const float x = values[2 * p] * scale, y = values[2 * p + 1] * scale;
        call.pushNumber(x * cosine - y * sine);
        call.pushNumber(x * sine + y * cosine);
    }
    return 8;
}

int bitOr(ScriptCall& call) {
    uint32_t a = 0, b = 0;
    readPair(call, a, b);
    return call.pushInteger(a | b);
}

int bitAnd(ScriptCall& call) {
    uint32_t a = 0, b = 0;
    readPair(call, a, b);
    return call.pushInteger(a & b);
}

int bitXor(ScriptCall& call) {
    uint32_t a = 0, b = 0;
    readPair(call, a, b);
    return call.pushInteger(a ^ b);
}

int shift(ScriptCall& call) {
    const int32_t a = call.integer(1);
    const int32_t n = call.integer(2);
    if (n >= 0) return call.pushInteger(static_cast<int32_t>(static_cast<uint32_t>(a) << (n % 32)));
    const int64_t by = -static_cast<int64_t>(n) % 64;
    return call.pushInteger(static_cast<int64_t>(a) >> by);
}

int rgb(ScriptCall& call) {
    if (call.count <= 2) {
        const int32_t color = call.integer(1);
        call.pushInteger((color >> 16) & 255);
        call.pushInteger((color >> 8) & 255);
        return call.pushInteger(color & 255) + 2;
    }
    if (call.count <= 5) return call.pushInteger(pack(call.integer(1), call.integer(2), call.integer(3)));
    int32_t c[6];
    for (int i = 0; i < 6; ++i) c[i] = call.integer(i + 1);
    const double g = objectTimeFraction(call);
    return call.pushInteger((roundByte(mix(c[0], c[3], g)) << 16) | (roundByte(mix(c[1], c[4], g)) << 8) |
                            roundByte(mix(c[2], c[5], g)));
}

int hsv(ScriptCall& call) {
    if (call.count <= 2) {
        const int32_t color = call.integer(1);
        const Media::ColorHsv h =
            Media::rgbToHsv(((color >> 16) & 255) / 255.0f, ((color >> 8) & 255) / 255.0f, (color & 255) / 255.0f);
        call.pushNumber(h.h * 360.0);
        call.pushNumber(h.s * 100.0);
        return call.pushNumber(h.v * 100.0) + 2;
    }
    double v[6];
    const int read = call.count <= 5 ? 3 : 6;
    for (int i = 0; i < read; ++i) v[i] = call.number(i + 1);
    if (read == 6) {
        const double g = objectTimeFraction(call);
        for (int i = 0; i < 3; ++i) v[i] = mix(v[i], v[i + 3], g);
    }
    // A value that is no number (NaN, infinite) counts as 0.
    for (int i = 0; i < 3; ++i)
        if (!std::isfinite(v[i])) v[i] = 0;
    // The hue wraps around; wrapped here, a huge hue stays a number in single precision.
    const Media::ColorHsv h{static_cast<float>(std::fmod(v[0] / 360.0, 1.0)), static_cast<float>(v[1] / 100.0),
                            static_cast<float>(v[2] / 100.0)};
    return call.pushInteger(packFloat(Media::hsvToRgb(h)));
}

}  // namespace Plugin::ScriptLibrary
