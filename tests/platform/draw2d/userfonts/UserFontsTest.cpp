// Fonts in the user's own font folder join the installed fonts: a packaged
// face linked there, and a colour font the test writes. A program of
// its own: the font list is read once per process, so the folder is set up
// before anything asks for it.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>
#include <string>

#include "ColorFont.h"
#include "platform/draw2d/Font.h"

namespace {
namespace D = Platform::draw2d;
namespace fs = std::filesystem;

TEST(UserFonts, FontsOfTheUsersFolderAreInTheCollectionWithTheirColourLayers) {
    const fs::path packaged = "/usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc";
    ASSERT_TRUE(fs::exists(packaged)) << "the packaged CJK family is missing";
    char pattern[] = "/tmp/velmo-userfonts-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(pattern));
    const fs::path home = pattern;
    fs::create_directories(home / "data" / "fonts");
    fs::create_directories(home / "cache");
    const fs::path own = home / "data" / "fonts" / "MyOwnFont.ttc";
    fs::create_symlink(packaged, own);
    {
        const std::vector<uint8_t> colour = colorTestFont();
        std::ofstream out(home / "data" / "fonts" / "ColorTest.ttf", std::ios::binary);
        out.write(reinterpret_cast<const char*>(colour.data()), std::streamsize(colour.size()));
    }
    setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
    setenv("XDG_CACHE_HOME", (home / "cache").c_str(), 1);

    std::shared_ptr<D::FontCollection> collection;
    ASSERT_EQ(Platform::kOk, D::FontCollection::system(collection));
    bool found = false;
    for (uint32_t i = 0; i < collection->familyCount() && !found; ++i) {
        const auto family = collection->family(i);
        for (uint32_t f = 0; f < family->fontCount(); ++f)
            if (family->font(f)->file() == own.string()) {
                found = true;
                EXPECT_EQ(700, family->font(f)->weight());
            }
    }
    EXPECT_TRUE(found) << "no font from " << own;

    // The colour font: its layers, metrics without an OS/2 table, no vertical metrics.
    uint32_t index = 0;
    ASSERT_TRUE(collection->findFamilyName("ColorTest", index));
    std::unique_ptr<D::FontFace> face;
    ASSERT_EQ(Platform::kOk, collection->family(index)->font(0)->createFontFace(face));
    fs::remove_all(home);
    const uint32_t a = 'A';
    uint16_t glyph = 0;
    face->glyphIndices(&a, 1, &glyph);
    EXPECT_EQ(1, glyph);
    std::vector<D::ColorGlyphLayer> layers;
    ASSERT_TRUE(face->colorGlyphLayers(glyph, layers));
    ASSERT_EQ(2u, layers.size());
    EXPECT_EQ(2, layers[0].glyph);
    EXPECT_FALSE(layers[0].useTextColor);
    EXPECT_EQ(1, layers[0].color.r);
    EXPECT_EQ(0, layers[0].color.g);
    EXPECT_EQ(1, layers[0].color.a);
    EXPECT_EQ(3, layers[1].glyph);
    EXPECT_TRUE(layers[1].useTextColor);
    EXPECT_FALSE(face->colorGlyphLayers(2, layers)) << "a layer glyph has no layers of its own";
    EXPECT_TRUE(layers.empty());
    EXPECT_FALSE(face->hasBitmapGlyphs());

    const D::FontMetrics& m = face->metrics();
    EXPECT_EQ(1000, m.designUnitsPerEm);
    EXPECT_EQ(800, m.ascent) << "the horizontal header without an OS/2 table";
    EXPECT_EQ(200, m.descent);
    EXPECT_EQ(0, m.lineGap);
    D::GlyphMetrics g;
    ASSERT_EQ(Platform::kOk, face->designGlyphMetrics(&glyph, 1, &g));
    EXPECT_EQ(600u, g.advanceWidth);
    EXPECT_EQ(100, g.leftSideBearing);
    EXPECT_EQ(100, g.rightSideBearing);
    // No vertical metrics: the line's ascent and descent make the box.
    EXPECT_EQ(1000u, g.advanceHeight);
    EXPECT_EQ(800, g.verticalOriginY);
    EXPECT_EQ(400, g.topSideBearing);
    EXPECT_EQ(200, g.bottomSideBearing);
    EXPECT_FALSE(face->hasVerticalGlyphVariants());
    uint16_t same = 0;
    face->verticalGlyphVariants(&glyph, 1, &same);
    EXPECT_EQ(glyph, same);
}

}  // namespace
