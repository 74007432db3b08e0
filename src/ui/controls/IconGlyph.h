#pragma once
#include <span>

// The vector glyphs of the icon buttons. Coordinates are fractions of the
// button's width (x) and height (y); a line's width is a fraction of its
// height. Lines are drawn with round caps, so a line of no length is a dot.
namespace Control {

struct IconLine {
    float x1, y1, x2, y2, width;
};

struct IconGlyph {
    const float* triangle = nullptr;   // x1, y1, x2, y2, x3, y3 (filled)
    const float* rectangle = nullptr;  // left, top, right, bottom (filled)
    std::span<const IconLine> lines;   // in drawing order
};

extern const IconGlyph GlyphTriangleUp, GlyphTriangleDown, GlyphTriangleLeft, GlyphTriangleRight, GlyphStepBack,
    GlyphStepForward, GlyphSkipStart, GlyphSkipEnd, GlyphFastBack, GlyphFastForward, GlyphPause, GlyphPlus,
    GlyphArrowLeft, GlyphArrowRight, GlyphArrowUp, GlyphFolder, GlyphList, GlyphCross, GlyphSliderMinus,
    GlyphSliderPlus;

}  // namespace Control
