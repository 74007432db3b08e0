#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/Color.h"
#include "media/gpu/FontFace.h"
#include "media/text/FontGlyph.h"
#include "platform/draw2d/Brush.h"

namespace Platform::draw2d {
class StrokeStyle;
}

// The text of a text object laid out glyph by glyph and drawn with its control
// tags (colour, font, size, position, display rate, waits and page clears),
// horizontally or in columns from right to left, filled with an optional
// outline or drop shadow, revealed character by character over time.
//
// Use: fill the inputs, measure, make a cleared buffer of blockWidth() x
// blockHeight() (rounded up), draw into it. In individual mode draw into an
// atlas of atlasWidth x atlasHeight and take each glyph with drawEachGlyph.
namespace Media {

class ResourceBuffer;
class RenderTargetDirect3D;

class TextDraw {
public:
    TextDraw() = default;
    ~TextDraw();
    TextDraw(const TextDraw&) = delete;
    TextDraw& operator=(const TextDraw&) = delete;

    // Inputs.
    const wchar_t* text = nullptr;
    double time = 0;
    bool vertical = false;
    float alignment = 0;
    const wchar_t* baseFamily = nullptr;
    float baseSize = 0;
    float outlineRatio = 0;
    float shadowRatio = 0;
    bool roundJoins = false;
    bool bold = false, italic = false;
    ColorRgba baseColor1, baseColor2;
    float letterSpacing = 0;
    float lineSpacing = 0;
    double displaySpeed = 0;
    bool individual = false;

    // Runs the layout without drawing: sizes, margins and line records.
    void measure();
    // Draws the visible characters into the buffer; nothing when the
    // measuring pass counted no character. `knownClear`: the buffer is new or
    // cleared to transparent, so its pixels need not be read first.
    void draw(ResourceBuffer& buffer, bool knownClear = false);
    // Individual mode, after draw into the atlas: each glyph's cell as a
    // buffer of its own, with the character index and the cell's centre.
    using GlyphCallback =
        std::function<void(std::unique_ptr<ResourceBuffer>, uint32_t index, float x, float y, float z)>;
    void drawEachGlyph(ResourceBuffer& atlas, GlyphCallback callback);

    float blockWidth() const { return marginLeft + width + marginRight; }
    float blockHeight() const { return marginTop + height + marginBottom; }

    // Layout state.
    float penX = 0, penY = 0, penZ = 0;
    Resource::FontFace font;
    std::wstring family;
    bool currentBold = false, currentItalic = false;
    float outlineWidth = 0, shadowOffset = 0, margin = 0, marginWithShadow = 0;
    Platform::draw2d::StrokeStyle* strokeStyle = nullptr;
    ColorRgba color1, color2;
    std::unique_ptr<Platform::draw2d::SolidColorBrush> brush1, brush2;
    double secondsPerCharacter = 0;
    double displayTime = 0;  // when the next character shows
    uint32_t charactersSinceWait = 0;
    uint32_t characterIndex = 0;
    uint32_t lineIndex = 0;
    uint32_t firstVisibleIndex = 0;
    float lineHeight = 0, lineAscent = 0, lineShift = 0, lineWidth = 0;
    float width = 0, height = 0;
    float marginLeft = 0, marginRight = 0, marginTop = 0, marginBottom = 0;
    bool measured = false;
    RenderTargetDirect3D* target = nullptr;
    float cellX = 0, rowY = 0, rowHeight = 0;
    float atlasWidth = 0, atlasHeight = 0;
    float glyphCellX = 0, glyphCellY = 0, glyphCellWidth = 0, glyphCellHeight = 0;
    Resource::FontGlyph glyph;

    struct LineRecord {
        float height, ascent, shift, width;
    };
    std::vector<LineRecord> lines;
    struct GlyphRecord {
        uint32_t index;
        int32_t cellX, cellY, cellWidth, cellHeight;
        float centerX, centerY, z;
    };
    std::vector<GlyphRecord> glyphs;
    // Kept by the measuring pass: when each character shows, and each page
    // clear (past its time the characters before `index` are not drawn).
    struct Reveal {
        std::vector<double> characterTimes;
        struct PageClear {
            double time;
            uint32_t index;
        };
        std::vector<PageClear> pageClears;
        // The characters drawn at a time: from `first` (the start of the page
        // shown) up to `end`. The layout draws the same characters at every
        // time that gives the same pair.
        void visibleAt(double when, uint32_t& first, uint32_t& end) const;
    };
    Reveal reveal;

private:
    void run();
    void beginLayout();
    void setFont(const std::wstring& name, float size, float outline, bool bold, bool italic);
    void setColor(const ColorRgba& c1, const ColorRgba& c2);
    void startLine();
    // True when the text has ended.
    bool layoutLine();
    void endLine();
    // The tag at the cursor applied; false when none is there.
    bool applyTag();
    void setupGlyph(uint32_t codePoint);
    void drawGlyph();
    void growLine();

    const wchar_t* cursor_ = nullptr;
};

}  // namespace Media
