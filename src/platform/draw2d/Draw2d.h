#pragma once
// The 2-D layer: the program's Direct2D and DirectWrite over Cairo, Pango,
// HarfBuzz, FreeType and fontconfig, with SVG documents over libxml2 and librsvg.
//
// Principles:
// - Program code sees only the layer's types; the libraries stay inside
//   src/platform/draw2d.
// - Coordinates are pixels at every DPI; a window's target draws on the
//   window layer's persistent surface and shows it at endDraw.
// - Drawing into a GPU texture goes through 8-bit premultiplied CPU pixels
//   (Cairo has no float surfaces), read back before and uploaded after.
// - One recursive lock guards the whole layer (drawing on worker threads, text
//   layout and the shared FreeType faces); every entry point takes it.
// - Calls that can fail return a Platform::Result; the texts naming the
//   failed call belong to the program.
// - Text is anti-aliased in grey, unhinted, at fractional positions.
#include "platform/draw2d/Bitmap.h"
#include "platform/draw2d/Brush.h"
#include "platform/draw2d/Font.h"
#include "platform/draw2d/Geometry.h"
#include "platform/draw2d/GpuTarget.h"
#include "platform/draw2d/Lock.h"
#include "platform/draw2d/RenderTarget.h"
#include "platform/draw2d/StrokeStyle.h"
#include "platform/draw2d/Svg.h"
#include "platform/draw2d/Text.h"
#include "platform/draw2d/Types.h"
#include "platform/draw2d/WindowTarget.h"
