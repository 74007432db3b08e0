// Font families from fontconfig, face matching and simulations, design
// metrics read against the font's own tables, vertical forms and outlines.
// Only the packaged CJK family is relied on.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/draw2d/Draw2d.h"

namespace {
namespace D = Platform::draw2d;

constexpr const char* kFamily = "Noto Sans CJK JP";

std::shared_ptr<D::FontFamily> notoFamily() {
    std::shared_ptr<D::FontCollection> collection;
    EXPECT_EQ(Platform::kOk, D::FontCollection::system(collection));
    uint32_t index = 0;
    if (!collection || !collection->findFamilyName(kFamily, index)) return nullptr;
    return collection->family(index);
}

std::shared_ptr<D::Font> match(int32_t weight, D::FontStyle style = D::FontStyle::Normal) {
    auto family = notoFamily();
    std::shared_ptr<D::Font> font;
    if (family) {
        EXPECT_EQ(Platform::kOk, family->firstMatchingFont(weight, D::kStretchNormal, style, font));
    }
    return font;
}

std::unique_ptr<D::FontFace> face(const std::shared_ptr<D::Font>& font) {
    std::unique_ptr<D::FontFace> out;
    if (font) {
        EXPECT_EQ(Platform::kOk, font->createFontFace(out));
    }
    return out;
}

uint16_t glyphOf(const D::FontFace& f, uint32_t codePoint) {
    uint16_t g = 0;
    f.glyphIndices(&codePoint, 1, &g);
    return g;
}

TEST(FontCollection, FindsTheCjkFamilyByAnyCaseWithItsRegularAndBoldFaces) {
    std::shared_ptr<D::FontCollection> collection;
    ASSERT_EQ(Platform::kOk, D::FontCollection::system(collection));
    uint32_t index = 0;
    ASSERT_TRUE(collection->findFamilyName("noto sans cjk jp", index));
    auto family = collection->family(index);
    const D::LocalizedName* en = D::findLocalizedName(family->familyNames(), "en-us");
    ASSERT_NE(nullptr, en);
    EXPECT_EQ(kFamily, en->name);
    std::vector<int32_t> weights;
    for (uint32_t i = 0; i < family->fontCount(); ++i) {
        EXPECT_EQ(D::FontStyle::Normal, family->font(i)->style());
        EXPECT_EQ(D::kStretchNormal, family->font(i)->stretch());
        weights.push_back(family->font(i)->weight());
    }
    EXPECT_EQ((std::vector<int32_t>{400, 700}), weights);
    EXPECT_FALSE(collection->findFamilyName("No Such Family 12345", index));
    // The collection is read once for the process.
    std::shared_ptr<D::FontCollection> again;
    ASSERT_EQ(Platform::kOk, D::FontCollection::system(again));
    EXPECT_EQ(collection.get(), again.get());
}

TEST(FontFamily, FirstMatchingFontPicksByWeightRulesAndSimulatesWhatIsMissing) {
    const struct {
        int32_t weight;
        D::FontStyle style;
        int32_t expectWeight;
        D::FontStyle expectStyle;
        uint32_t simulations;
    } cases[] = {
        {400, D::FontStyle::Normal, 400, D::FontStyle::Normal, 0},
        {700, D::FontStyle::Normal, 700, D::FontStyle::Normal, 0},
        {999, D::FontStyle::Normal, 700, D::FontStyle::Normal, 0},
        {1200, D::FontStyle::Normal, 700, D::FontStyle::Normal, 0},  // kept within 1..999
        {600, D::FontStyle::Normal, 700, D::FontStyle::Normal, 0},   // heavier first above 500
        {500, D::FontStyle::Normal, 400, D::FontStyle::Normal, 0},   // then lighter
        {300, D::FontStyle::Normal, 400, D::FontStyle::Normal, 0},   // lighter first, then heavier
        {400, D::FontStyle::Italic, 400, D::FontStyle::Oblique, D::kSimulationOblique},
        {700, D::FontStyle::Oblique, 700, D::FontStyle::Oblique, D::kSimulationOblique},
    };
    for (const auto& c : cases) {
        auto font = match(c.weight, c.style);
        ASSERT_TRUE(font) << c.weight;
        EXPECT_EQ(c.expectWeight, font->weight()) << c.weight;
        EXPECT_EQ(c.expectStyle, font->style()) << c.weight;
        EXPECT_EQ(c.simulations, font->simulations()) << c.weight;
    }
}

TEST(LocalizedName, ExactLocaleFirstThenTheBareLanguage) {
    const std::vector<D::LocalizedName> names = {{"en", "A"}, {"ja", "B"}, {"zh-tw", "C"}, {"ja-jp", "D"}};
    const struct {
        const char* locale;
        const char* name;  // null: none
    } cases[] = {{"en-us", "A"}, {"ja-JP", "D"}, {"ja", "B"}, {"ZH-TW", "C"}, {"zh-cn", nullptr}, {"fr-fr", nullptr}};
    for (const auto& c : cases) {
        const D::LocalizedName* n = D::findLocalizedName(names, c.locale);
        if (c.name == nullptr)
            EXPECT_EQ(nullptr, n) << c.locale;
        else
            EXPECT_EQ(std::string(c.name), n != nullptr ? n->name : std::string("(none)")) << c.locale;
    }
}

// The font's own tables, read straight from its file.
struct Tables {
    uint16_t unitsPerEm = 0, fsSelection = 0, winAscent = 0, winDescent = 0;
    int16_t typoAscender = 0, typoDescender = 0, typoLineGap = 0, hheaAscender = 0, hheaDescender = 0, hheaLineGap = 0;
};

// Big-endian numbers at offsets of a file, read where they lie (the CJK
// collections are large).
class FontFile {
public:
    explicit FontFile(const std::string& path) : in_(path, std::ios::binary) {}
    uint32_t u32(size_t at) { return uint32_t(u16(at)) << 16 | u16(at + 2); }
    uint16_t u16(size_t at) {
        unsigned char b[2] = {};
        in_.seekg(std::streamoff(at));
        in_.read(reinterpret_cast<char*>(b), 2);
        return uint16_t(b[0] << 8 | b[1]);
    }
    bool good() const { return bool(in_); }

private:
    std::ifstream in_;
};

bool readTables(const std::string& path, uint32_t faceIndex, Tables& t) {
    FontFile f(path);
    size_t offset = 0;
    if (f.u32(0) == 0x74746366u) offset = f.u32(12 + 4 * faceIndex);  // "ttcf"
    const uint16_t count = f.u16(offset + 4);
    bool os2 = false, head = false, hhea = false;
    for (uint16_t i = 0; i < count; ++i) {
        const size_t rec = offset + 12 + 16 * size_t(i);
        const uint32_t tag = f.u32(rec);
        const size_t at = f.u32(rec + 8);
        if (tag == 0x4F532F32u) {  // "OS/2"
            t.fsSelection = f.u16(at + 62);
            t.typoAscender = int16_t(f.u16(at + 68));
            t.typoDescender = int16_t(f.u16(at + 70));
            t.typoLineGap = int16_t(f.u16(at + 72));
            t.winAscent = f.u16(at + 74);
            t.winDescent = f.u16(at + 76);
            os2 = true;
        } else if (tag == 0x68656164u) {  // "head"
            t.unitsPerEm = f.u16(at + 18);
            head = true;
        } else if (tag == 0x68686561u) {  // "hhea"
            t.hheaAscender = int16_t(f.u16(at + 4));
            t.hheaDescender = int16_t(f.u16(at + 6));
            t.hheaLineGap = int16_t(f.u16(at + 8));
            hhea = true;
        }
    }
    return os2 && head && hhea && f.good();
}

TEST(FontFace, DesignMetricsComeFromTheOs2Table) {
    for (int32_t weight : {400, 700}) {
        auto font = match(weight);
        ASSERT_TRUE(font);
        Tables t;
        ASSERT_TRUE(readTables(font->file(), font->faceIndex(), t)) << font->file();
        auto f = face(font);
        ASSERT_TRUE(f);
        const D::FontMetrics& m = f->metrics();
        EXPECT_EQ(t.unitsPerEm, m.designUnitsPerEm);
        if (t.fsSelection & 0x80) {
            EXPECT_EQ(t.typoAscender, m.ascent);
            EXPECT_EQ(-t.typoDescender, m.descent);
            EXPECT_EQ(t.typoLineGap, m.lineGap);
        } else {
            // The Windows ascent and descent, with the gap that makes up the
            // horizontal header's line height.
            EXPECT_EQ(t.winAscent, m.ascent);
            EXPECT_EQ(t.winDescent, m.descent);
            const int gap = t.hheaAscender - t.hheaDescender + t.hheaLineGap - (t.winAscent + t.winDescent);
            EXPECT_EQ(std::max(0, gap), m.lineGap);
        }
        D::FontMetrics read;
        ASSERT_EQ(Platform::kOk, font->metrics(read));
        EXPECT_EQ(m.ascent, read.ascent);
    }
}

TEST(FontFace, GlyphDesignMetricsOfAnIdeograph) {
    auto f = face(match(400));
    ASSERT_TRUE(f);
    const uint16_t g = glyphOf(*f, 0x4E00);  // 一
    ASSERT_NE(0, g);
    D::GlyphMetrics m;
    ASSERT_EQ(Platform::kOk, f->designGlyphMetrics(&g, 1, &m));
    EXPECT_EQ(1000u, m.advanceWidth);
    EXPECT_EQ(1000u, m.advanceHeight);
    EXPECT_EQ(880, m.verticalOriginY);  // the face's vertical origin: its typographic ascender
    EXPECT_GT(m.leftSideBearing, 0);
    EXPECT_GT(m.rightSideBearing, 0);
    // The ink of 一 is a thin bar in the middle of its vertical box.
    EXPECT_GT(m.topSideBearing, 300);
    EXPECT_GT(m.bottomSideBearing, 300);
    EXPECT_LT(m.topSideBearing + m.bottomSideBearing, int32_t(m.advanceHeight));
    const uint16_t beyond = uint16_t(f->glyphCount());
    EXPECT_EQ(Platform::kInvalidArg, f->designGlyphMetrics(&beyond, 1, &m));
}

TEST(FontFace, VerticalFormsReplaceOnlyTheGlyphsThatHaveThem) {
    auto f = face(match(400));
    ASSERT_TRUE(f);
    EXPECT_TRUE(f->hasVerticalGlyphVariants());
    const uint32_t text[] = {0xFF08, 0x30FC, 0x4E00, 0x3002};  // （ ー 一 。
    uint16_t glyphs[4], vertical[4];
    f->glyphIndices(text, 4, glyphs);
    f->verticalGlyphVariants(glyphs, 4, vertical);
    EXPECT_NE(glyphs[0], vertical[0]) << "parenthesis";
    EXPECT_NE(glyphs[1], vertical[1]) << "long vowel mark";
    EXPECT_EQ(glyphs[2], vertical[2]) << "ideograph without a vertical form";
    EXPECT_NE(glyphs[3], vertical[3]) << "full stop";
}

TEST(FontFace, GlyphOutlineIsAPathAboveTheBaselineAndSlantedWhenSimulated) {
    auto upright = face(match(400));
    auto slanted = face(match(400, D::FontStyle::Italic));
    ASSERT_TRUE(upright && slanted);
    const uint16_t g = glyphOf(*upright, 'I');
    D::RectF bounds[2];
    for (int i = 0; i < 2; ++i) {
        D::PathGeometry path;
        D::GeometrySink* sink = nullptr;
        ASSERT_EQ(Platform::kOk, path.open(sink));
        ASSERT_EQ(Platform::kOk, (i == 0 ? upright : slanted)->glyphOutline(g, 100, *sink));
        ASSERT_EQ(Platform::kOk, sink->close());
        EXPECT_GE(path.figureCount(), 1u);
        bounds[i] = path.bounds();
    }
    EXPECT_LT(bounds[0].top, -60) << "a capital reaches well above the baseline at 100 px";
    EXPECT_NEAR(0, bounds[0].bottom, 1) << "and stands on it";
    EXPECT_GT(bounds[1].right - bounds[0].right, 10) << "the top leans right";
    // A blank has no figures.
    D::PathGeometry blank;
    D::GeometrySink* sink = nullptr;
    ASSERT_EQ(Platform::kOk, blank.open(sink));
    ASSERT_EQ(Platform::kOk, upright->glyphOutline(glyphOf(*upright, ' '), 100, *sink));
    EXPECT_EQ(Platform::kOk, sink->close());
    EXPECT_EQ(0u, blank.figureCount());
}

TEST(FontFace, OutlineFontHasNoColourLayersOrBitmaps) {
    auto f = face(match(400));
    ASSERT_TRUE(f);
    std::vector<D::ColorGlyphLayer> layers;
    EXPECT_FALSE(f->colorGlyphLayers(glyphOf(*f, 0x3042), layers));
    EXPECT_TRUE(layers.empty());
    EXPECT_FALSE(f->hasBitmapGlyphs());
    D::GlyphBitmap bitmap;
    EXPECT_EQ(D::kNoFont, f->glyphBitmap(glyphOf(*f, 0x3042), 20, bitmap));
}

}  // namespace

namespace {

// A Latin face lends the characters it lacks from a face that has them, found
// once and kept; a character no face has stays with the face itself.
TEST(FontFace, MissingCharactersFallBackToAFaceThatHasThem) {
    std::shared_ptr<D::FontCollection> collection;
    ASSERT_EQ(Platform::kOk, D::FontCollection::system(collection));
    uint32_t index = 0;
    ASSERT_TRUE(collection->findFamilyName("DejaVu Sans", index)) << "fonts-dejavu-core is not installed";
    std::shared_ptr<D::Font> font;
    ASSERT_EQ(Platform::kOk,
              collection->family(index)->firstMatchingFont(700, D::kStretchNormal, D::FontStyle::Normal, font));
    auto latin = face(font);
    ASSERT_TRUE(latin);
    ASSERT_EQ(0, glyphOf(*latin, 0x65E5));  // 日: not in the Latin face

    EXPECT_EQ(latin->fallbackFor('A'), latin.get());
    const D::FontFace* japanese = latin->fallbackFor(0x65E5);
    ASSERT_NE(japanese, latin.get());
    for (const uint32_t c : {0x65E5u, 0x672Cu, 0x8A9Eu, 0x30C6u}) {  // 日 本 語 テ
        EXPECT_EQ(latin->fallbackFor(c), japanese) << std::hex << c;
        EXPECT_NE(0, glyphOf(*latin->fallbackFor(c), c)) << std::hex << c;
    }
    EXPECT_EQ(latin->fallbackFor(0x0378), latin.get());  // unassigned: nobody has it
}

}  // namespace
