#pragma once
// Inside the 2-D layer only: the libraries under it.
#include <cairo.h>

#include "platform/draw2d/Brush.h"
#include "platform/draw2d/Geometry.h"
#include "platform/draw2d/StrokeStyle.h"

namespace Platform::draw2d {

class TextLayout;

// The brush as the context's source.
void setSource(cairo_t* cr, const Brush& brush);
// Width, caps, join, miter limit and dashes of a stroke; null: the default
// style. False (nothing to stroke) for a width that is not above 0.
bool setStroke(cairo_t* cr, float width, const StrokeStyle* style);

// A path built in device pixels from points in target coordinates: the
// context's matrix is the identity meanwhile and is set back by finish.
// Points are held within cairo's range; a point that is not a number drops
// the path (finish returns false and leaves no path).
class DevicePath {
public:
    DevicePath(cairo_t* cr, const Matrix3x2F& transform);
    void move(Point2F p);
    void line(Point2F p);
    void curve(Point2F c1, Point2F c2, Point2F end);
    void close();
    bool finish();
    bool toDevice(Point2F p, double& x, double& y) const;

private:
    cairo_t* cr_;
    Matrix3x2F m_;
    bool ok_ = true;
};

// The geometry's elements as the context's path (hollow figures left out when
// filling); false when it cannot be drawn.
bool appendPath(cairo_t* cr, const Geometry& geometry, bool forFill, const Matrix3x2F& transform);
// Shows the layout with its top-left corner at the current point.
void showLayout(cairo_t* cr, const TextLayout& layout);
// A cairo matrix of the layer's.
cairo_matrix_t toCairo(const Matrix3x2F& m);

}  // namespace Platform::draw2d
