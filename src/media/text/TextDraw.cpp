#include "media/text/TextDraw.h"

#include <algorithm>
#include <cmath>
#include <cwctype>

#include "core/Exception.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/RenderTargetDirect3D.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/gpu/ResourceService.h"
#include "media/gpu/StyleBrush.h"
#include "media/text/PresetColorSource.h"
#include "media/text/TextTag.h"
#include "platform/draw2d/Geometry.h"
#include "platform/draw2d/GpuTarget.h"

namespace Media {

namespace D2 = Platform::draw2d;

namespace {

Platform::draw2d::StrokeStyle* roundStrokeStyle() {
    Resource::ResourceService* resources = Resource::ResourceService::get();
    static Resource::StrokeStyleList fallback;  // without the service (tools and tests)
    return (resources != nullptr ? resources->strokeStyles : fallback).get(2);
}

bool isSixHexDigits(const std::wstring& s) {
    return s.size() == 6 && std::all_of(s.begin(), s.end(), [](wchar_t c) { return std::iswxdigit(c) != 0; });
}

// A colour tag's value: six digits or a preset name; false leaves the colour as it is.
bool tagColor(const std::wstring& value, ColorRgba& out) {
    if (isSixHexDigits(value)) {
        parseColorRgbaWide(value, out);
        return true;
    }
    const PresetColorSource* presets = PresetColorSource::installed;
    return presets != nullptr && presets->findPresetColor(value, out);
}

}  // namespace

TextDraw::~TextDraw() = default;

void TextDraw::measure() {
    target = nullptr;
    run();
}

void TextDraw::draw(ResourceBuffer& buffer, bool knownClear) {
    if (characterIndex == 0 && measured) return;
    if (!measured) return;
    RenderTargetDirect3D renderTarget(buffer, knownClear);
    RenderTargetDirect3D::DrawScope scope(renderTarget);
    target = &renderTarget;
    try {
        run();
    } catch (...) {
        target = nullptr;
        brush1.reset();
        brush2.reset();
        throw;
    }
    target = nullptr;
}

void TextDraw::Reveal::visibleAt(double when, uint32_t& first, uint32_t& end) const {
    // Both lists are in layout order and their times never decrease.
    first = 0;
    for (const PageClear& c : pageClears) {
        if (!(when > c.time)) break;
        first = c.index;
    }
    end = uint32_t(std::upper_bound(characterTimes.begin(), characterTimes.end(), when) - characterTimes.begin());
}

void TextDraw::drawEachGlyph(ResourceBuffer& atlas, GlyphCallback callback) {
    GlyphCallback take = std::move(callback);
    for (const GlyphRecord& r : glyphs) {
        if (r.cellWidth <= 0 || r.cellHeight <= 0) continue;
        auto cell = ResourceBuffer::createBlank(uint32_t(r.cellWidth), uint32_t(r.cellHeight), atlas.format);
        if (r.cellX < 0 || r.cellY < 0 || uint32_t(r.cellX) + uint32_t(r.cellWidth) > atlas.width ||
            uint32_t(r.cellY) + uint32_t(r.cellHeight) > atlas.height)
            continue;
        cell->copyRegion(atlas, uint32_t(r.cellX), uint32_t(r.cellY), uint32_t(r.cellWidth), uint32_t(r.cellHeight));
        if (take) take(std::move(cell), r.index, r.centerX + marginLeft, r.centerY + marginTop, r.z);
    }
}

void TextDraw::run() {
    beginLayout();
    while (true) {
        const bool ended = layoutLine();
        endLine();
        if (vertical) {
            const float d = penX - lineHeight;
            width = std::max(width, -d);
            penX = d - lineSpacing;
        } else {
            const float b = penY + lineHeight;
            height = std::max(height, b);
            penY = b + lineSpacing;
        }
        if (ended) {
            measured = true;
            break;
        }
        if (measured && displayTime > time) break;
    }
}

void TextDraw::beginLayout() {
    const std::wstring base = baseFamily != nullptr ? baseFamily : L"";
    setFont(base, baseSize, baseSize * outlineRatio, bold, italic);
    setColor(baseColor1, baseColor2);
    secondsPerCharacter = displaySpeed > 0 ? 1.0 / displaySpeed : 0;
    cursor_ = text;
    family = base;
    penX = penY = penZ = 0;
    if (!measured) {
        width = height = 0;
        marginLeft = marginRight = marginTop = marginBottom = 0;
        firstVisibleIndex = 0;
        reveal.characterTimes.clear();
        reveal.pageClears.clear();
    }
    if (vertical) penX = measured ? width : 0;
    displayTime = 0;
    charactersSinceWait = 0;
    characterIndex = 0;
    lineIndex = 0;
    rowY = atlasWidth = atlasHeight = 0;
    glyphs.clear();
}

void TextDraw::setFont(const std::wstring& name, float size, float outline, bool isBold, bool isItalic) {
    size = std::clamp(std::isfinite(size) ? size : 1.0f, 1.0f, 1000.0f);
    font.setFont(name, size, isBold, isItalic, vertical);
    currentBold = isBold;
    currentItalic = isItalic;
    outlineWidth = std::isfinite(outline) ? std::max(outline, 0.0f) : 0.0f;
    strokeStyle = roundJoins ? roundStrokeStyle() : nullptr;
    shadowOffset = shadowRatio > 0 ? size * 0.05f : 0;
    margin = outlineWidth * 0.5f + 1;
    marginWithShadow = margin + shadowOffset;
}

void TextDraw::setColor(const ColorRgba& c1, const ColorRgba& c2) {
    color1 = c1;
    color2 = c2;
    if (target == nullptr) return;
    ColorRgba second = c2;
    if (shadowRatio > 0) second.a *= shadowRatio;
    brush1 = Resource::ColorBrush::create(c1);
    brush2 = Resource::ColorBrush::create(second);
}

void TextDraw::startLine() {
    if (lineIndex < lines.size()) {
        const LineRecord& r = lines[lineIndex];
        lineHeight = r.height;
        lineAscent = r.ascent;
        lineShift = r.shift;
        lineWidth = r.width;
    } else {
        lineHeight = font.lineAdvance;
        lineAscent = font.ascent;
        lineShift = 0;
        lineWidth = 0;
    }
    cellX = 0;
    rowHeight = 0;
    if (vertical)
        penY = lineWidth > 0 ? (height - lineWidth) * alignment + lineShift : lineShift;
    else
        penX = lineWidth > 0 ? (width - lineWidth) * alignment + lineShift : lineShift;
}

void TextDraw::endLine() {
    if (lineIndex >= lines.size()) lines.push_back({lineHeight, lineAscent, lineShift, vertical ? penY : penX});
    ++lineIndex;
    atlasWidth = std::max(atlasWidth, cellX);
    rowY += rowHeight;
    atlasHeight = std::max(atlasHeight, rowY);
}

void TextDraw::growLine() {
    if (font.lineAdvance > lineHeight) {
        lineHeight = font.lineAdvance;
        lineAscent = font.ascent;
    }
}

bool TextDraw::layoutLine() {
    startLine();
    if (cursor_ == nullptr) return true;
    while (true) {
        const wchar_t c = *cursor_;
        if (c == 0) return true;
        if (c == L'\n') {
            ++cursor_;
            return false;
        }
        if (c == L'<' && applyTag()) continue;
        ++cursor_;
        if (c < 32) continue;
        uint32_t code = uint32_t(c);
        if (code >= 0xD800 && code <= 0xDBFF) {
            const uint32_t low = uint32_t(*cursor_);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                ++cursor_;
            }
        }
        setupGlyph(code);
        if (!measured) reveal.characterTimes.push_back(displayTime);
        if (characterIndex >= firstVisibleIndex && !(displayTime > time) && target != nullptr) drawGlyph();
        const float s = letterSpacing, p = std::max(s, 0.0f);
        if (vertical) {
            const float e = penY + glyph.advanceY;
            height = std::max(height, e + p);
            penY = e + s;
            width = std::max(width, lineHeight - penX);
        } else {
            const float e = penX + glyph.advanceX;
            width = std::max(width, e + p);
            penX = e + s;
            height = std::max(height, penY + lineHeight);
        }
        displayTime += secondsPerCharacter;
        ++characterIndex;
        ++charactersSinceWait;
    }
}

bool TextDraw::applyTag() {
    const TextTag tag = TextTag::parse(std::wstring_view(cursor_, std::wcslen(cursor_)));
    const auto& f = tag.field;
    auto number = [](const std::optional<std::wstring>& field, double& out) {
        return field && TextTag::readNumber(*field, out);
    };
    // A "*" wait: seconds per character since the last one.
    auto wait = [&](const std::wstring& field) {
        double t = 0;
        const bool proportional = !field.empty() && field[0] == L'*';
        if (!TextTag::readNumber(proportional ? field.substr(1) : field, t)) return false;
        if (proportional) {
            displayTime += t * charactersSinceWait;
            charactersSinceWait = 0;
        } else {
            displayTime += t;
        }
        return true;
    };
    switch (tag.kind) {
    case TextTag::Kind::None: return false;
    case TextTag::Kind::Color: {
        // An absent field restores the object's colour; a value that is neither
        // six digits nor a preset name leaves the colour in use.
        ColorRgba c1 = f[0] ? color1 : baseColor1, c2 = f[1] ? color2 : baseColor2;
        if (f[0]) tagColor(*f[0], c1);
        if (f[1]) tagColor(*f[1], c2);
        setColor(c1, c2);
        break;
    }
    case TextTag::Kind::Font:
        family = f[0] && !f[0]->empty() ? *f[0] : std::wstring(baseFamily != nullptr ? baseFamily : L"");
        setFont(family, font.size, outlineWidth, bold, italic);
        growLine();
        break;
    case TextTag::Kind::Size: {
        float size = baseSize;
        if (f[0]) {
            const std::wstring& v = *f[0];
            double k = 0;
            if (v[0] == L'*') {
                if (!TextTag::readNumber(v.substr(1), k)) return false;
                size = float(k * font.size);
            } else {
                if (!TextTag::readNumber(v, k)) return false;
                size = (v[0] == L'+' || v[0] == L'-') ? float(font.size + k) : float(k);
            }
        }
        size = std::clamp(std::isfinite(size) ? size : 1.0f, 1.0f, 1000.0f);
        const std::wstring name = f[1] && !f[1]->empty() ? *f[1] : family;
        bool b = bold, i = italic;
        if (f[2]) {
            b = f[2]->find(L'B') != std::wstring::npos;
            i = f[2]->find(L'I') != std::wstring::npos;
        }
        float outline = outlineRatio * baseSize;
        if (f[3]) {
            double w = 0;
            if (!TextTag::readNumber(*f[3], w)) return false;
            outline = std::min(float(w), size);
        }
        setFont(name, size, outline, b, i);
        growLine();
        break;
    }
    case TextTag::Kind::Position: {
        double x = 0, y = 0, z = 0;
        if (!number(f[0], x) || !number(f[1], y)) return false;
        if (f[2] && !number(f[2], z)) return false;
        auto place = [](const std::wstring& field, float& pen, double v) {
            pen = (field[0] == L'+' || field[0] == L'-') ? float(pen + v) : float(v);
        };
        place(*f[0], penX, x);
        place(*f[1], penY, y);
        if (f[2]) place(*f[2], penZ, z);
        break;
    }
    case TextTag::Kind::Rate: {
        double speed = displaySpeed;
        if (f[0] && !TextTag::readNumber(*f[0], speed)) return false;
        secondsPerCharacter = speed > 0 ? 1.0 / speed : 0;
        break;
    }
    case TextTag::Kind::Wait:
        if (!wait(*f[0])) return false;
        break;
    case TextTag::Kind::Clear: {
        if (f[0] && !wait(*f[0])) return false;
        charactersSinceWait = 0;
        if (!measured) reveal.pageClears.push_back({displayTime, characterIndex});
        if (time > displayTime) firstVisibleIndex = characterIndex;
        endLine();
        if (vertical)
            penX = measured ? width : 0;
        else
            penY = 0;
        cursor_ += tag.length;
        if (*cursor_ == L'\n') ++cursor_;
        startLine();
        rowY = 0;
        return true;
    }
    }
    cursor_ += tag.length;
    return true;
}

void TextDraw::setupGlyph(uint32_t codePoint) {
    if (vertical)
        glyph.setGlyphVertical(font, codePoint, lineAscent);
    else
        glyph.setGlyph(font, codePoint, lineAscent);
    const Resource::FontGlyph& g = glyph;
    if (!measured) {
        if (!vertical) {
            if (g.leftBearing + penX < 0) {
                lineShift -= g.leftBearing;
                penX -= g.leftBearing;
            }
            marginLeft = std::max(marginLeft, margin - g.leftBearing - penX);
            marginRight = std::max(marginRight, marginWithShadow - g.rightBearing);
            marginTop = std::max(marginTop, margin - g.topBearing - penY);
            marginBottom = std::max(marginBottom, marginWithShadow - g.bottomBearing);
        } else {
            if (penY + g.topBearing < 0) {
                lineShift -= g.topBearing;
                penY -= g.topBearing;
            }
            marginTop = std::max(marginTop, margin - g.topBearing - penY);
            marginBottom = std::max(marginBottom, marginWithShadow - g.bottomBearing);
            marginRight = std::max(marginRight, marginWithShadow + penX - g.rightBearing);
            marginLeft = std::max(marginLeft, margin - g.leftBearing);
        }
    }
    const float m = marginWithShadow + margin;
    const float a = vertical ? font.lineAdvance : g.advanceX;
    const float b = vertical ? g.advanceY : font.lineAdvance;
    glyphCellWidth = std::ceil(g.leftOverhang + g.rightOverhang + m + a);
    glyphCellHeight = std::ceil(g.topOverhang + g.bottomOverhang + m + b);
    glyphCellX = std::ceil(cellX);
    glyphCellY = std::ceil(rowY);
    cellX += glyphCellWidth;
    rowHeight = std::max(rowHeight, glyphCellHeight);
}

void TextDraw::drawGlyph() {
    const Resource::FontGlyph& g = glyph;
    float x, y;
    if (individual) {
        float c = g.leftOverhang + margin, d = g.topOverhang + marginWithShadow;
        const float k = font.ascent - lineAscent;
        if (vertical)
            c += k + lineHeight;
        else
            d += k;
        glyphs.push_back({characterIndex, int32_t(glyphCellX), int32_t(glyphCellY), int32_t(glyphCellWidth),
                          int32_t(glyphCellHeight), glyphCellWidth * 0.5f + penX - c, glyphCellHeight * 0.5f + penY - d,
                          penZ});
        x = glyphCellX + c;
        y = glyphCellY + d;
    } else {
        x = marginLeft + penX;
        y = marginTop + penY;
    }
    x += g.offsetX;
    y += g.offsetY;
    D2::GpuTarget* surface = target->bitmap.get();
    if (surface == nullptr || !brush1 || !brush2) return;
    const D2::FontFace* face = g.face != nullptr ? g.face : font.fontFace.object.get();
    static constexpr const char* kScope = "Media::TextDraw::drawGlyph";
    // Colour glyphs: their layers or bitmap, without outline or shadow.
    std::vector<D2::ColorGlyphLayer> layers;
    if (face->colorGlyphLayers(g.glyphIndex, layers)) {
        for (const D2::ColorGlyphLayer& layer : layers) {
            auto geometry = std::make_shared<D2::PathGeometry>();
            D2::GeometrySink* sink = nullptr;
            if (Platform::failed(geometry->open(sink))) continue;
            if (Platform::failed(face->glyphOutline(layer.glyph, font.size, *sink)) || Platform::failed(sink->close()))
                continue;
            const D2::SolidColorBrush layerBrush(layer.useTextColor ? brush1->color : layer.color);
            target->drawGeometry(geometry, &layerBrush, x, y, nullptr, 0, nullptr);
        }
        return;
    }
    if (face->hasBitmapGlyphs()) {
        D2::GlyphBitmap bitmap;
        if (Platform::succeeded(face->glyphBitmap(g.glyphIndex, font.size, bitmap)) && bitmap.width > 0 &&
            bitmap.height > 0) {
            std::unique_ptr<D2::Bitmap> image;
            if (Platform::succeeded(D2::Bitmap::create(bitmap.width, bitmap.height, bitmap.pixels.data(),
                                                       bitmap.width * 4, 87, D2::AlphaMode::Premultiplied, image))) {
                const float s = bitmap.scale;
                const D2::RectF rect{x + bitmap.left * s, y + bitmap.top * s,
                                     x + (bitmap.left + float(bitmap.width)) * s,
                                     y + (bitmap.top + float(bitmap.height)) * s};
                surface->drawBitmap(*image, &rect, 1, D2::Interpolation::Linear, nullptr);
            }
            return;
        }
    }
    auto geometry = std::make_shared<D2::PathGeometry>();
    D2::GeometrySink* sink = nullptr;
    if (const auto hr = geometry->open(sink); Platform::failed(hr))
        throw System::hresultException("geometry->Open", kScope, hr);
    if (const auto hr = face->glyphOutline(g.glyphIndex, font.size, *sink); Platform::failed(hr))
        throw System::hresultException("font.get()->GetGlyphRunOutline", kScope, hr);
    if (const auto hr = sink->close(); Platform::failed(hr)) throw System::hresultException("slink->Close", kScope, hr);
    if (shadowOffset > 0) {
        target->drawGeometry(geometry, brush2.get(), x + shadowOffset, y + shadowOffset, brush2.get(), outlineWidth,
                             strokeStyle);
        target->drawGeometry(geometry, brush1.get(), x, y, brush1.get(), outlineWidth, strokeStyle);
    } else {
        target->drawGeometry(geometry, brush1.get(), x, y, brush2.get(), outlineWidth, strokeStyle);
    }
}

}  // namespace Media
