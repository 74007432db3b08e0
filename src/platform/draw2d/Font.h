#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/draw2d/Types.h"

namespace Platform::draw2d {

class GeometrySink;

enum class FontStyle : uint32_t { Normal = 0, Oblique = 1, Italic = 2 };
// Weights 1..999 (400 normal, 700 bold); stretches 1..9 (5 normal).
inline constexpr int32_t kWeightNormal = 400;
inline constexpr int32_t kWeightBold = 700;
inline constexpr int32_t kStretchNormal = 5;
// Simulations made for a face that is missing from its family.
inline constexpr uint32_t kSimulationBold = 1;
inline constexpr uint32_t kSimulationOblique = 2;

// A name in one locale ("en-us", "ja-jp"; a bare language such as "en" when the
// font names no region), UTF-8.
struct LocalizedName {
    std::string locale;
    std::string name;
};
// The name for the locale: an exact match (case ignored), else one whose bare
// language equals the locale's language. Null when there is none.
const LocalizedName* findLocalizedName(const std::vector<LocalizedName>& names, std::string_view locale);

// Design metrics of a face, in font design units.
struct FontMetrics {
    uint16_t designUnitsPerEm = 0;
    uint16_t ascent = 0;
    uint16_t descent = 0;
    int16_t lineGap = 0;
    uint16_t capHeight = 0;
    uint16_t xHeight = 0;
    int16_t underlinePosition = 0;
    uint16_t underlineThickness = 0;
    int16_t strikethroughPosition = 0;
    uint16_t strikethroughThickness = 0;
};

// Design metrics of a glyph, in design units; side bearings are measured from
// the advance box (horizontal: origin to advance, vertical: vertical origin down).
struct GlyphMetrics {
    int32_t leftSideBearing = 0;
    uint32_t advanceWidth = 0;
    int32_t rightSideBearing = 0;
    int32_t topSideBearing = 0;
    uint32_t advanceHeight = 0;
    int32_t bottomSideBearing = 0;
    int32_t verticalOriginY = 0;
};

// One layer of a colour glyph: a glyph drawn in a palette colour, or in the
// text's colour when `useTextColor` is set.
struct ColorGlyphLayer {
    uint16_t glyph = 0;
    bool useTextColor = false;
    ColorF color;
};

// A bitmap glyph: premultiplied B, G, R, A rows of `width` pixels; `left` and
// `top` place its top-left corner from the pen position (y down), in pixels of
// the strike scaled to the asked size by `scale`.
struct GlyphBitmap {
    uint32_t width = 0;
    uint32_t height = 0;
    float left = 0;
    float top = 0;
    float scale = 1;
    std::vector<uint8_t> pixels;
};

class FontFamily;
class FontFace;

// One face of a family: weight, stretch and style, the simulations made for
// it, and its file.
class Font {
public:
    int32_t weight() const { return weight_; }
    int32_t stretch() const { return stretch_; }
    FontStyle style() const { return style_; }
    uint32_t simulations() const { return simulations_; }
    // The family names of the face as older programs group faces (one family
    // per weight and style beyond regular and bold), by locale.
    const std::vector<LocalizedName>& win32FamilyNames() const { return win32Names_; }
    const std::vector<LocalizedName>& faceNames() const { return faceNames_; }
    const std::string& file() const { return file_; }
    uint32_t faceIndex() const { return index_; }
    // The family this face belongs to (null once its collection is gone).
    std::shared_ptr<FontFamily> family() const { return family_.lock(); }
    // kFail when the file cannot be read.
    Result createFontFace(std::unique_ptr<FontFace>& out) const;
    // The face's design metrics (reads the file).
    Result metrics(FontMetrics& out) const;

private:
    friend class FontCollection;
    friend class FontFamily;
    std::weak_ptr<FontFamily> family_;
    int32_t weight_ = kWeightNormal;
    int32_t stretch_ = kStretchNormal;
    FontStyle style_ = FontStyle::Normal;
    uint32_t simulations_ = 0;
    std::vector<LocalizedName> win32Names_;
    std::vector<LocalizedName> faceNames_;
    std::string file_;
    uint32_t index_ = 0;
};

// The faces sharing a family name, ordered by stretch, weight and style.
class FontFamily {
public:
    const std::vector<LocalizedName>& familyNames() const { return names_; }
    uint32_t fontCount() const { return static_cast<uint32_t>(fonts_.size()); }
    std::shared_ptr<Font> font(uint32_t index) const { return index < fonts_.size() ? fonts_[index] : nullptr; }
    // The face closest to the request: stretch first, then style, then weight
    // (from 400 to 500 the weights up to 500 first, then lighter ones, then
    // heavier; below 400 lighter first; above 500 heavier first). A missing
    // bold (asked 600 and up, found 500 and below) and a missing italic or
    // oblique are simulated. kNoFont for an empty family.
    Result firstMatchingFont(int32_t weight, int32_t stretch, FontStyle style, std::shared_ptr<Font>& out) const;

private:
    friend class FontCollection;
    std::vector<LocalizedName> names_;
    std::vector<std::shared_ptr<Font>> fonts_;
};

// The installed fonts as families: every scalable font fontconfig knows,
// the user's own font folders included, grouped by the family name.
class FontCollection {
public:
    // The process's collection, read once (later installs are seen by the next start).
    static Result system(std::shared_ptr<FontCollection>& out);

    uint32_t familyCount() const { return static_cast<uint32_t>(families_.size()); }
    std::shared_ptr<FontFamily> family(uint32_t index) const {
        return index < families_.size() ? families_[index] : nullptr;
    }
    // The family with a name equal to `name` in any locale (case ignored).
    bool findFamilyName(std::string_view name, uint32_t& index) const;

private:
    static Result build(std::shared_ptr<FontCollection>& out);
    std::vector<std::shared_ptr<FontFamily>> families_;
};

// A face ready for glyph work. Faces share one FreeType library; every call
// takes the layer's lock.
class FontFace {
public:
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    uint32_t simulations() const { return simulations_; }
    const FontMetrics& metrics() const { return metrics_; }
    uint16_t glyphCount() const;
    // The glyph of each code point (0 when the face has none).
    void glyphIndices(const uint32_t* codePoints, uint32_t count, uint16_t* glyphs) const;
    // The face to draw the code point with: this one when it has the
    // character, else the installed face fontconfig ranks first for this
    // face's family, weight and slant among those that have it (this one
    // again when none has). A face found is kept by this face and lives as
    // long as it; it simulates what this face is and it is not (bold, slant).
    const FontFace* fallbackFor(uint32_t codePoint) const;
    // kInvalidArg for a glyph the face does not have.
    Result designGlyphMetrics(const uint16_t* glyphs, uint32_t count, GlyphMetrics* out) const;
    // Whether the face substitutes glyphs for vertical writing (its "vert" feature).
    bool hasVerticalGlyphVariants() const;
    // Each glyph's vertical form, or the glyph itself when it has none.
    void verticalGlyphVariants(const uint16_t* glyphs, uint32_t count, uint16_t* out) const;
    // The outline of a glyph at `emSize` pixels as figures of the sink, origin
    // at the pen position, y down, simulations applied. The sink is not closed.
    Result glyphOutline(uint16_t glyph, float emSize, GeometrySink& sink) const;
    // The layers of a colour glyph; false when the glyph has none.
    bool colorGlyphLayers(uint16_t glyph, std::vector<ColorGlyphLayer>& layers) const;
    // Whether the face carries bitmap strikes (colour or not).
    bool hasBitmapGlyphs() const;
    // The glyph's bitmap from the strike nearest to `pixelSize`; kNoFont when
    // the face has no strike or the glyph no bitmap.
    Result glyphBitmap(uint16_t glyph, float pixelSize, GlyphBitmap& out) const;

private:
    friend class Font;
    FontFace() = default;
    static std::unique_ptr<FontFace> open(const std::string& file, uint32_t index, uint32_t simulations);
    void* face_ = nullptr;    // FT_Face
    void* hbFace_ = nullptr;  // hb_face_t
    uint32_t simulations_ = 0;
    FontMetrics metrics_;
    mutable std::vector<std::unique_ptr<FontFace>> fallbacks_;
    mutable std::vector<std::pair<uint32_t, const FontFace*>> fallbackByCode_;  // sorted by code point
};

}  // namespace Platform::draw2d
