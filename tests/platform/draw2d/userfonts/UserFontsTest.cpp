// Fonts in the user's own font folder join the installed fonts. A program of
// its own: the font list is read once per process, so the folder is set up
// before anything asks for it.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/draw2d/Font.h"

namespace {
namespace D = Platform::draw2d;
namespace fs = std::filesystem;

TEST(UserFonts, FontsOfTheUsersFolderAreInTheCollection) {
    const fs::path packaged = "/usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc";
    ASSERT_TRUE(fs::exists(packaged)) << "the packaged CJK family is missing";
    char pattern[] = "/tmp/velmo-userfonts-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(pattern));
    const fs::path home = pattern;
    fs::create_directories(home / "data" / "fonts");
    fs::create_directories(home / "cache");
    const fs::path own = home / "data" / "fonts" / "MyOwnFont.ttc";
    fs::create_symlink(packaged, own);
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
    fs::remove_all(home);
}

}  // namespace
