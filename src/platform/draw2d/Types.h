#pragma once
#include <cstdint>

#include "platform/os/Result.h"

namespace Platform::draw2d {

// Results of the layer beside the common ones, with the numbers the
// program's texts print.
inline constexpr Result kWrongState = static_cast<Result>(0x88990001u);         // drawing outside begin/end
inline constexpr Result kPushPopUnbalanced = static_cast<Result>(0x88990016u);  // clips left open at end
inline constexpr Result kNoFont = static_cast<Result>(0x88985002u);             // no such font or family

struct Point2F {
    float x = 0, y = 0;
};

struct SizeF {
    float width = 0, height = 0;
};

struct RectF {
    float left = 0, top = 0, right = 0, bottom = 0;
};

struct ColorF {
    float r = 0, g = 0, b = 0, a = 1;
};

// A 2-D affine matrix in row-vector form: (x, y) -> (x*m11 + y*m21 + dx, x*m12 + y*m22 + dy).
struct Matrix3x2F {
    float m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;

    static Matrix3x2F translation(float x, float y) { return {1, 0, 0, 1, x, y}; }
    Point2F apply(Point2F p) const { return {p.x * m11 + p.y * m21 + dx, p.x * m12 + p.y * m22 + dy}; }
    // This matrix followed by `next`.
    Matrix3x2F then(const Matrix3x2F& n) const {
        return {m11 * n.m11 + m12 * n.m21, m11 * n.m12 + m12 * n.m22,      m21 * n.m11 + m22 * n.m21,
                m21 * n.m12 + m22 * n.m22, dx * n.m11 + dy * n.m21 + n.dx, dx * n.m12 + dy * n.m22 + n.dy};
    }
};

enum class AntialiasMode : uint32_t { PerPrimitive = 0, Aliased = 1 };
enum class TextAntialiasMode : uint32_t { Default = 0, ClearType = 1, Grayscale = 2, Aliased = 3 };
enum class Interpolation : uint32_t { NearestNeighbor = 0, Linear = 1 };
enum class FillMode : uint32_t { Alternate = 0, Winding = 1 };
enum class FigureBegin : uint32_t { Filled = 0, Hollow = 1 };
enum class FigureEnd : uint32_t { Open = 0, Closed = 1 };
enum class SweepDirection : uint32_t { CounterClockwise = 0, Clockwise = 1 };
enum class ArcSize : uint32_t { Small = 0, Large = 1 };

}  // namespace Platform::draw2d
