#include "media/text/FontGlyph.h"

#include "core/Exception.h"
#include "media/gpu/FontFace.h"

namespace Resource {

namespace {

float overhang(float bearing) { return bearing < 0 ? -bearing : 0; }

// Pixels per design unit of the face at the font's size.
float designScaleOf(const FontFace& font, const Platform::draw2d::FontFace* face) {
    const uint16_t units = face->metrics().designUnitsPerEm;
    return face == font.fontFace.object.get() || units == 0 ? font.designScale : font.size / units;
}

}  // namespace

void FontGlyph::scale(const FontFace& font) {
    const float s = designScaleOf(font, face);
    advanceX = float(metrics.advanceWidth) * s;
    advanceY = float(metrics.advanceHeight) * s;
    leftBearing = float(metrics.leftSideBearing) * s;
    rightBearing = float(metrics.rightSideBearing) * s;
    topBearing = float(metrics.topSideBearing) * s;
    bottomBearing = float(metrics.bottomSideBearing) * s;
    leftOverhang = overhang(leftBearing);
    rightOverhang = overhang(rightBearing);
    topOverhang = overhang(topBearing);
    bottomOverhang = overhang(bottomBearing);
}

void FontGlyph::setGlyph(const FontFace& font, uint32_t code, float lineAscent) {
    static constexpr const char* kScope = "Resource::FontGlyph::setGlyph";
    const Platform::draw2d::FontFace* face = font.fontFace.object.get();
    if (face == nullptr) throw System::hresultException("fontFace->GetGlyphIndicesW", kScope, Platform::kFail);
    codePoint = code;
    face = face->fallbackFor(codePoint);
    this->face = face;
    face->glyphIndices(&codePoint, 1, &glyphIndex);
    if (const auto hr = face->designGlyphMetrics(&glyphIndex, 1, &metrics); Platform::failed(hr))
        throw System::hresultException("fontFace->GetDesignGlyphMetrics", kScope, hr);
    scale(font);
    offsetX = 0;
    offsetY = lineAscent;
}

void FontGlyph::setGlyphVertical(const FontFace& font, uint32_t code, float lineAscent) {
    static constexpr const char* kScope = "Resource::FontGlyph::setGlyphVertical";
    const Platform::draw2d::FontFace* face = font.fontFace.object.get();
    if (face == nullptr) throw System::hresultException("fontFace->GetGlyphIndicesW", kScope, Platform::kFail);
    codePoint = code;
    face = face->fallbackFor(codePoint);
    this->face = face;
    uint16_t glyph = 0;
    face->glyphIndices(&codePoint, 1, &glyph);
    face->verticalGlyphVariants(&glyph, 1, &glyphIndex);
    if (const auto hr = face->designGlyphMetrics(&glyphIndex, 1, &metrics); Platform::failed(hr))
        throw System::hresultException("fontFace->GetDesignGlyphMetrics", kScope, hr);
    // The overhangs are taken from this glyph too, so that an atlas cell holds its ink.
    scale(font);
    offsetX = -(advanceX * 0.5f) - lineAscent;
    offsetY = float(metrics.verticalOriginY) * designScaleOf(font, face);
}

}  // namespace Resource
