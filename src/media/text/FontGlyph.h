#pragma once
#include <cstdint>

#include "platform/draw2d/Font.h"

// The metrics of one glyph of the current face, in pixels. A character the
// face lacks is taken from a face that has it.
namespace Resource {

class FontFace;

class FontGlyph {
public:
    // Horizontal: the glyph of the code point; offset y = the line's ascent.
    void setGlyph(const FontFace& font, uint32_t codePoint, float lineAscent);
    // Vertical: the glyph's vertical form, centred in its column.
    void setGlyphVertical(const FontFace& font, uint32_t codePoint, float lineAscent);

    float advanceX = 0, advanceY = 0;
    float offsetX = 0, offsetY = 0;
    float leftBearing = 0, rightBearing = 0, topBearing = 0, bottomBearing = 0;
    float leftOverhang = 0, rightOverhang = 0, topOverhang = 0, bottomOverhang = 0;
    uint32_t codePoint = 0;
    uint16_t glyphIndex = 0;
    // The face the glyph comes from: the font's own, or the one standing in
    // for a character the font lacks.
    const Platform::draw2d::FontFace* face = nullptr;
    Platform::draw2d::GlyphMetrics metrics;

private:
    void scale(const FontFace& font);
};

}  // namespace Resource
