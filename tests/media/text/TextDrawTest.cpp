// Text drawing: what the tags do to the layout, when characters show, and the
// pixels of fill, outline and shadow drawn horizontally and vertically.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/ServiceHolder.h"
#include "media/gpu/Direct2DService.h"
#include "media/gpu/MediaFixture.h"
#include "media/gpu/ResourceBuffer.h"
#include "media/text/PresetColorSource.h"
#include "media/text/TextDraw.h"

namespace {

// Palettes stand-in: two names.
class FakePresets : public Media::PresetColorSource {
public:
    bool findPresetColor(const std::wstring& name, Media::ColorRgba& out) const override {
        static const std::map<std::wstring, Media::ColorRgba> colors = {{L"sky", {0, 0.5f, 1, 1}},
                                                                        {L"ink", {0.1f, 0.1f, 0.1f, 1}}};
        const auto it = colors.find(name);
        if (it == colors.end()) return false;
        out = it->second;
        return true;
    }
};

class TextDrawTest : public MediaTest {
protected:
    static void SetUpTestSuite() {
        MediaTest::SetUpTestSuite();
        d2d_ = new System::ServiceHolder<Media::Direct2DService>();
    }
    static void TearDownTestSuite() {
        delete d2d_;
        d2d_ = nullptr;
        MediaTest::TearDownTestSuite();
    }
    void SetUp() override { Media::PresetColorSource::installed = &presets; }
    void TearDown() override {
        Media::PresetColorSource::installed = nullptr;
        MediaTest::TearDown();
    }

    static void setUp(Media::TextDraw& t, const wchar_t* text, float size = 20) {
        t.text = text;
        t.baseFamily = L"";
        t.baseSize = size;
        t.baseColor1 = {1, 0, 0, 1};
        t.baseColor2 = {0, 0, 1, 1};
    }

    // The characters drawn at the time: measure, then draw into the atlas in
    // individual mode; their indices in order.
    static std::vector<uint32_t> shown(const wchar_t* text, double speed, double time,
                                       std::vector<Media::TextDraw::GlyphRecord>* records = nullptr,
                                       Media::TextDraw::Reveal* reveal = nullptr) {
        Media::TextDraw t;
        setUp(t, text);
        t.displaySpeed = speed;
        t.individual = true;
        t.time = time;  // the measuring pass finds where the last page starts
        t.measure();
        auto atlas = Media::ResourceBuffer::createBlank(uint32_t(t.atlasWidth + 1), uint32_t(t.atlasHeight + 1), 10);
        t.draw(*atlas);
        std::vector<uint32_t> out;
        for (const auto& r : t.glyphs) out.push_back(r.index);
        if (records) *records = t.glyphs;
        if (reveal) *reveal = t.reveal;
        return out;
    }

    // RGBA floats of the buffer.
    static std::vector<float> pixels(Media::ResourceBuffer& buffer) {
        const auto px = readBack(*buffer.texture);
        std::vector<float> out(px.size() / 2);
        for (size_t i = 0; i < out.size(); ++i) {
            uint16_t h;
            std::memcpy(&h, px.data() + 2 * i, 2);
            out[i] = halfToFloat(h);
        }
        return out;
    }

    FakePresets presets;
    static inline System::ServiceHolder<Media::Direct2DService>* d2d_ = nullptr;
};

TEST_F(TextDrawTest, CharactersCountedOnceEachWithMalformedTagsAsTextAndControlsSkipped) {
    struct Case {
        const wchar_t* text;
        uint32_t characters;
    };
    const Case cases[] = {
        {L"abc", 3},
        {L"a<z>b", 5},  // "<", "z", ">" are text
        {L"<p5>x", 5},  // a position needs both values
        {L"<p,5>x", 6},
        {L"<p5,6>x", 1},
        {L"<s*2>x<s-4>y<s0>z", 3},
        {L"a\r\tb\x01", 2},    // CR, TAB and other controls do nothing
        {L"\xD83D\xDE00", 1},  // a surrogate pair is one character
        {L"\xD83Dx", 2},       // a lone surrogate stays a character
        {L"a<#zzz,>b<w1><c>c", 3},
        {L"", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text);
        Media::TextDraw t;
        setUp(t, c.text);
        t.measure();
        EXPECT_EQ(c.characters, t.characterIndex);
        EXPECT_TRUE(t.measured);
    }
}

TEST_F(TextDrawTest, SizeTagsScaleShiftAndClampAndSetTheFlags) {
    struct Case {
        const wchar_t* text;
        float size;
        bool bold, italic;
    };
    const Case cases[] = {
        {L"<s*2>x", 40, false, false},        {L"<s-4>x", 16, false, false},     {L"<s+5>x", 25, false, false},
        {L"<s0>x", 1, false, false},          {L"<s5000>x", 1000, false, false}, {L"<s12>x", 12, false, false},
        {L"<s*2><s*2>x", 80, false, false},   {L"<s30,,BI>x", 30, true, true},   {L"<s30,,I>x", 30, false, true},
        {L"<s*2,,BI><s>x", 20, false, false},  // back to the base size and flags
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text);
        Media::TextDraw t;
        setUp(t, c.text);
        t.measure();
        EXPECT_FLOAT_EQ(c.size, t.font.size);
        EXPECT_EQ(c.bold, t.currentBold);
        EXPECT_EQ(c.italic, t.currentItalic);
    }
    // An empty flag field turns the base flags off.
    Media::TextDraw t;
    setUp(t, L"<s20,,>x");
    t.bold = t.italic = true;
    t.measure();
    EXPECT_FALSE(t.currentBold);
    EXPECT_FALSE(t.currentItalic);
}

TEST_F(TextDrawTest, ColourTagsTakeDigitsOrPaletteNamesAndFallBackToTheBase) {
    struct Case {
        const wchar_t* text;
        Media::ColorRgba c1, c2;
    };
    const Case cases[] = {
        {L"<#00ff00>x", {0, 1, 0, 1}, {0, 0, 1, 1}},
        {L"<#,ffffff>x", {1, 0, 0, 1}, {1, 1, 1, 1}},
        {L"<#sky,ink>x", {0, 0.5f, 1, 1}, {0.1f, 0.1f, 0.1f, 1}},
        {L"<#nosuch>x", {1, 0, 0, 1}, {0, 0, 1, 1}},
        {L"<#00ff00,ffffff>a<#nosuch,Sky>x", {0, 1, 0, 1}, {1, 1, 1, 1}},  // unknown names keep the colour in use
        {L"<#00ff00><#>x", {1, 0, 0, 1}, {0, 0, 1, 1}},
        {L"<#0f0>x", {1, 0, 0, 1}, {0, 0, 1, 1}},  // three digits are a name, and no preset
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text);
        Media::TextDraw t;
        setUp(t, c.text);
        t.measure();
        EXPECT_FLOAT_EQ(c.c1.r, t.color1.r);
        EXPECT_FLOAT_EQ(c.c1.g, t.color1.g);
        EXPECT_FLOAT_EQ(c.c1.b, t.color1.b);
        EXPECT_FLOAT_EQ(c.c2.r, t.color2.r);
        EXPECT_FLOAT_EQ(c.c2.g, t.color2.g);
        EXPECT_FLOAT_EQ(c.c2.b, t.color2.b);
    }
}

TEST_F(TextDrawTest, PositionTagsMoveThePenAbsolutelyOrRelatively) {
    Media::TextDraw t;
    setUp(t, L"<p10,20,3>");
    t.measure();
    // The line ends after the tag; the pen kept x and z.
    EXPECT_FLOAT_EQ(10, t.penX);
    EXPECT_FLOAT_EQ(3, t.penZ);
    Media::TextDraw r;
    setUp(r, L"<p10,20><p+5,-5>");
    r.measure();
    EXPECT_FLOAT_EQ(15, r.penX);
    EXPECT_FLOAT_EQ(15 + r.lineHeight + 0, r.penY) << "the line closes below y = 15";
}

TEST_F(TextDrawTest, RevealFollowsSpeedWaitsAndPageClears) {
    struct Case {
        const wchar_t* text;
        double speed, time;
        std::vector<uint32_t> shown;
    };
    const Case cases[] = {
        {L"abcdef", 10, 0.25, {0, 1, 2}},       // shown at 0, 0.1 and 0.2
        {L"abcdef", 0, 0, {0, 1, 2, 3, 4, 5}},  // no speed: all at once
        {L"a\r\tbcdef", 10, 0.25, {0, 1, 2}},   // controls take no time
        {L"abc<w*1>d", 0, 2.9, {0, 1, 2}},      // three characters since the last wait: 3 s
        {L"abc<w*1>d", 0, 3, {0, 1, 2, 3}},
        {L"ab<w1>c", 0, 0.5, {0, 1}},
        {L"ab<r1>cd", 10, 1.05, {0, 1, 2}},  // the rate changes after b: c at 0.2, d at 1.2
        {L"ab<c2>cd", 0, 1, {0, 1}},         // first page
        {L"ab<c2>cd", 0, 3, {2, 3}},         // second page only
        {L"", 0, 1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text << " at " << c.time);
        Media::TextDraw::Reveal reveal;
        EXPECT_EQ(c.shown, shown(c.text, c.speed, c.time, nullptr, &reveal));
        // The measuring pass's records tell the same characters at that time.
        uint32_t first = 0, end = 0;
        reveal.visibleAt(c.time, first, end);
        std::vector<uint32_t> told;
        for (uint32_t i = first; i < end; ++i) told.push_back(i);
        EXPECT_EQ(c.shown, told);
    }
}

TEST_F(TextDrawTest, ASecondPageStartsAgainAtTheTop) {
    std::vector<Media::TextDraw::GlyphRecord> first, second;
    shown(L"ab\ncd<c2>\nab", 0, 1, &first);
    shown(L"ab\ncd<c2>\nab", 0, 3, &second);
    ASSERT_EQ(4u, first.size());
    ASSERT_EQ(2u, second.size());
    EXPECT_EQ(4u, second[0].index) << "the line break right after the clear is skipped";
    EXPECT_FLOAT_EQ(first[0].centerY, second[0].centerY);
    EXPECT_FLOAT_EQ(first[0].centerX, second[0].centerX);
}

TEST_F(TextDrawTest, EachGlyphComesAsItsOwnBufferWithItsPlace) {
    Media::TextDraw t;
    setUp(t, L"ab<p0,0,7>c", 24);
    t.individual = true;
    t.measure();
    auto atlas =
        Media::ResourceBuffer::createBlank(uint32_t(std::ceil(t.atlasWidth)), uint32_t(std::ceil(t.atlasHeight)), 10);
    t.draw(*atlas);
    std::vector<uint32_t> indices;
    std::vector<float> zs;
    t.drawEachGlyph(*atlas, [&](std::unique_ptr<Media::ResourceBuffer> cell, uint32_t index, float, float, float z) {
        ASSERT_NE(nullptr, cell);
        EXPECT_GT(cell->width, 0u);
        indices.push_back(index);
        zs.push_back(z);
    });
    EXPECT_EQ((std::vector<uint32_t>{0, 1, 2}), indices);
    EXPECT_EQ((std::vector<float>{0, 0, 7}), zs);
}

// Fill red, outline or shadow blue; horizontal and vertical.
TEST_F(TextDrawTest, FillOutlineAndShadowShowInTheirColours) {
    struct Case {
        const char* name;
        bool vertical;
        float outline, shadow;
    };
    const Case cases[] = {
        {"plain horizontal", false, 0, 0}, {"outline horizontal", false, 0.1f, 0}, {"shadow horizontal", false, 0, 1},
        {"plain vertical", true, 0, 0},    {"outline vertical", true, 0.1f, 0},    {"shadow vertical", true, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Media::TextDraw t;
        setUp(t, L"■", 48);
        t.vertical = c.vertical;
        t.outlineRatio = c.outline;
        t.shadowRatio = c.shadow;
        t.measure();
        ASSERT_GT(t.blockWidth(), 20);
        ASSERT_GT(t.blockHeight(), 20);
        auto buffer = Media::ResourceBuffer::createBlank(uint32_t(std::ceil(t.blockWidth())),
                                                         uint32_t(std::ceil(t.blockHeight())), 10);
        const float clear[4] = {0, 0, 0, 0};
        context().clearRenderTargetView(buffer->getRenderTargetView(), clear);
        t.draw(*buffer);
        const auto px = pixels(*buffer);
        int red = 0, blue = 0, other = 0;
        for (size_t i = 0; i < px.size(); i += 4) {
            if (px[i + 3] < 0.9f) continue;
            if (px[i] > 0.9f && px[i + 2] < 0.1f)
                ++red;
            else if (px[i + 2] > 0.9f && px[i] < 0.1f)
                ++blue;
            else
                ++other;
        }
        EXPECT_GT(red, 200) << "the fill";
        if (c.outline > 0 || c.shadow > 0)
            EXPECT_GT(blue, 50) << "the outline or shadow";
        else
            EXPECT_EQ(0, blue);
        // Nothing is cut at the block's edges: the border pixels stay clear.
        const uint32_t w = buffer->width;
        const uint32_t h = buffer->height;
        for (uint32_t x = 0; x < w; ++x) {
            EXPECT_LT(px[(x)*4 + 3], 0.5f);
            EXPECT_LT(px[((h - 1) * w + x) * 4 + 3], 0.5f);
        }
    }
}

// A family without Japanese takes each such character from a face that has
// it: seven different glyphs, none of them the empty box the family draws
// for a character nobody has.
TEST_F(TextDrawTest, CharactersTheFamilyLacksComeFromAFaceThatHasThem) {
    // The coverage of one character drawn in "DejaVu Sans" at 48 pixels,
    // fixed 64 x 64 so that any two compare.
    const auto coverage = [](const wchar_t* text) {
        Media::TextDraw t;
        setUp(t, text, 48);
        t.baseFamily = L"DejaVu Sans";
        t.measure();
        auto buffer = Media::ResourceBuffer::createBlank(64, 64, 10);
        const float clear[4] = {0, 0, 0, 0};
        context().clearRenderTargetView(buffer->getRenderTargetView(), clear);
        t.draw(*buffer);
        const auto px = pixels(*buffer);
        std::vector<uint8_t> mask;
        for (size_t i = 3; i < px.size(); i += 4) mask.push_back(px[i] > 0.5f ? 1 : 0);
        return mask;
    };
    const auto differing = [](const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
        int count = 0;
        for (size_t i = 0; i < a.size(); ++i) count += a[i] != b[i];
        return count;
    };
    const std::vector<uint8_t> box = coverage(L"\x0378");  // unassigned: no face has it
    ASSERT_GT(std::count(box.begin(), box.end(), 1), 20) << "the family draws no box";
    const std::wstring japanese = L"日本語テキスト";
    std::vector<std::vector<uint8_t>> drawn;
    for (const wchar_t c : japanese) {
        const wchar_t one[] = {c, 0};
        drawn.push_back(coverage(one));
        EXPECT_GT(std::count(drawn.back().begin(), drawn.back().end(), 1), 40) << drawn.size();
        EXPECT_GT(differing(drawn.back(), box), 100) << "character " << drawn.size() << " is the box";
    }
    for (size_t i = 0; i < drawn.size(); ++i)
        for (size_t j = i + 1; j < drawn.size(); ++j)
            EXPECT_GT(differing(drawn[i], drawn[j]), 40) << i << " and " << j << " are the same glyph";
}

TEST_F(TextDrawTest, NothingMeasuredDrawsNothing) {
    Media::TextDraw t;
    setUp(t, L"");
    t.measure();
    auto buffer = Media::ResourceBuffer::createBlank(4, 4, 10);
    const float blue[4] = {0, 0, 1, 1};
    context().clearRenderTargetView(buffer->getRenderTargetView(), blue);
    t.draw(*buffer);
    const auto px = pixels(*buffer);
    EXPECT_FLOAT_EQ(1, px[2]);
}

}  // namespace
