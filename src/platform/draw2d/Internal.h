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
// Width, caps, join, miter limit and dashes of a stroke; null: the default style.
void setStroke(cairo_t* cr, float width, const StrokeStyle* style);
// The geometry's elements as the context's path (hollow figures left out when filling).
void appendPath(cairo_t* cr, const Geometry& geometry, bool forFill);
// Shows the layout with its top-left corner at the current point.
void showLayout(cairo_t* cr, const TextLayout& layout);
// A cairo matrix of the layer's.
cairo_matrix_t toCairo(const Matrix3x2F& m);

}  // namespace Platform::draw2d
