#pragma once
#include "platform/draw2d/Types.h"

namespace Platform::draw2d {

// A paint: one colour, or a gradient between two stops along a line.
// Brushes carry an opacity and a transform like the program's brushes.
class Brush {
public:
    enum class Kind { Solid, LinearGradient };
    virtual ~Brush() = default;
    Kind kind() const { return kind_; }
    float opacity = 1;
    Matrix3x2F transform;

protected:
    explicit Brush(Kind kind) : kind_(kind) {}

private:
    Kind kind_;
};

class SolidColorBrush : public Brush {
public:
    explicit SolidColorBrush(ColorF color) : Brush(Kind::Solid), color(color) {}
    ColorF color;
};

// A gradient stop: position 0..1 along the brush's line.
struct GradientStop {
    float position = 0;
    ColorF color;
};

// Two stops interpolated in gamma-encoded colour (gamma 2.2) and clamped past
// the line's ends. The points are set at drawing time.
class LinearGradientBrush : public Brush {
public:
    LinearGradientBrush(GradientStop first, GradientStop second) : Brush(Kind::LinearGradient), stops{first, second} {}
    void setStartPoint(Point2F p) { start = p; }
    void setEndPoint(Point2F p) { end = p; }
    GradientStop stops[2];
    Point2F start;
    Point2F end;
};

}  // namespace Platform::draw2d
