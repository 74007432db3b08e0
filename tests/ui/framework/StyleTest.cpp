// The style's metrics, brushes and icons, and the constant tables of the window framework.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

#include "core/ServiceHolder.h"
#include "core/SettingService.h"
#include "media/image/ImageService.h"
#include "platform/draw2d/Draw2d.h"
#include "support/TestFolders.h"
#include "ui/framework/StyleBitmapList.h"
#include "ui/framework/StyleBrushList.h"
#include "ui/framework/StyleMetrics.h"
#include "ui/framework/StyleTables.h"

namespace {

namespace D2 = Platform::draw2d;
namespace fs = std::filesystem;
using Setting::SettingService;
using Window::StyleBrushList;

constexpr const char* kLayout = "[Layout]\nSettingItemHeight=20\nExplorerHeaderHeight=28\nListItemHeight=24\n";

class Style : public TestFolders {
protected:
    // The installation's style.conf is the only one; the shipped icons beside it.
    void install(const std::string& style) {
        writeFile(TestFolders::install() / "style.conf", style);
        fs::copy(fs::current_path() / "icons", TestFolders::install() / "icons", fs::copy_options::recursive);
    }
    std::string startError(const std::string& style) {
        install(style);
        try {
            System::ServiceHolder<SettingService> settings;
        } catch (const std::exception& e) {
            return e.what();
        }
        return {};
    }
};

TEST_F(Style, LayoutMetricsTakeTheirDefaultsAndTheRowHeightAddsTwo) {
    install(std::string(kLayout) + "FooterHeight=30\n[Font]\nDefaultFamily=\n");
    System::ServiceHolder<SettingService> settings;
    EXPECT_EQ(Window::WindowSeparatorSize, 5);
    EXPECT_EQ(Window::FooterHeight, 30);
    EXPECT_EQ(Window::ScrollBarSize, 20);
    EXPECT_EQ(Window::TitleHeaderHeight, 22);
    EXPECT_EQ(Window::SettingItemHeight, 20);
    EXPECT_EQ(Window::SettingItemRowHeight, 22);
    EXPECT_EQ(Window::ExplorerHeaderHeight, 28);
    EXPECT_EQ(Window::ListItemHeight, 24);
    EXPECT_EQ(Window::DefaultFamily, L"Yu Gothic UI");
}

TEST_F(Style, ABadOrMissingLayoutValueStopsTheSettings) {
    const struct {
        const char* style;
        const char* message;
        const char* key;
    } cases[] = {
        {"[Layout]\nExplorerHeaderHeight=28\nListItemHeight=24\n",
         "ini file parameter invalid format(int) or undefined.", "SettingItemHeight"},
        {"[Layout]\nSettingItemHeight=20\nExplorerHeaderHeight=x\nListItemHeight=24\n",
         "ini file parameter invalid format(int) or undefined.", "ExplorerHeaderHeight"},
        {"[Layout]\nSettingItemHeight=20\nExplorerHeaderHeight=28\n",
         "ini file parameter invalid format(int) or undefined.", "ListItemHeight"},
        {"[Layout]\nSettingItemHeight=20\nExplorerHeaderHeight=28\nListItemHeight=24\nFooterHeight=tall\n",
         "ini file parameter invalid format(int).", "FooterHeight"},
    };
    for (const auto& c : cases) {
        const std::string error = startError(c.style);
        EXPECT_NE(error.find(c.message), std::string::npos) << c.key << ": " << error;
        if (std::string(c.message).find("undefined") == std::string::npos)
            EXPECT_EQ(error.find("undefined"), std::string::npos) << c.key;
        EXPECT_NE(error.find(c.key), std::string::npos) << error;
        fs::remove_all(TestFolders::install() / "icons");
    }
}

D2::ColorF solid(StyleBrushList& list, StyleBrushList::Index index) {
    D2::Brush& brush = list.get(index);
    EXPECT_EQ(brush.kind(), D2::Brush::Kind::Solid) << index;
    return static_cast<D2::SolidColorBrush&>(brush).color;
}

void expectColor(const D2::ColorF& got, float r, float g, float b, float a, const std::string& what) {
    EXPECT_NEAR(got.r, r, 1e-3) << what;
    EXPECT_NEAR(got.g, g, 1e-3) << what;
    EXPECT_NEAR(got.b, b, 1e-3) << what;
    EXPECT_NEAR(got.a, a, 1e-3) << what;
}

TEST_F(Style, BrushesFollowTheirKindOfColorValue) {
    install(std::string(kLayout) +
            "[Color]\nBackground=ff0000\nBorder=00ff0080\nFooterProgress=0000ff\n"
            "ObjectVideo=ff0000,00ff00,0000ff\nObjectAudio=ffffff,00ff00\nClippingObject=ff000080\n");
    System::ServiceHolder<SettingService> settings;
    StyleBrushList list;
    expectColor(solid(list, StyleBrushList::Background), 1, 0, 0, 1, "solid");
    expectColor(solid(list, StyleBrushList::BorderHalf), 0, 1, 0, 0.5f, "half");
    expectColor(solid(list, StyleBrushList::FooterProgress0), 0, 0, 1, 1, "list entry 0");
    expectColor(solid(list, StyleBrushList::FooterProgress1), 0, 0, 1, 1, "list entry past the end");

    const struct {
        StyleBrushList::Index index;
        float first[4], last[4];
    } gradients[] = {
        {StyleBrushList::ObjectVideo, {1, 0, 0, 1}, {0, 0, 1, 1}},      // the middle colour is not used
        {StyleBrushList::ObjectAudioFade, {0, 1, 0, 0}, {0, 1, 0, 1}},  // the last colour fading out
        {StyleBrushList::ClippingObject, {1, 0, 0, 0}, {1, 0, 0, 0.502f}},
    };
    for (const auto& c : gradients) {
        D2::LinearGradientBrush& brush = list.gradient(c.index);
        expectColor(brush.stops[0].color, c.first[0], c.first[1], c.first[2], c.first[3], "first stop");
        expectColor(brush.stops[1].color, c.last[0], c.last[1], c.last[2], c.last[3], "last stop");
        EXPECT_EQ(brush.stops[0].position, 0);
        EXPECT_EQ(brush.stops[1].position, 1);
    }
    EXPECT_EQ(&list.get(StyleBrushList::Background), &list.get(StyleBrushList::Background)) << "made once";
    EXPECT_THROW(list.gradient(StyleBrushList::Background), std::invalid_argument);
}

TEST_F(Style, AMissingOrMalformedColorThrowsWhenTheBrushIsFirstAsked) {
    install(std::string(kLayout) + "[Color]\nText=red\n");
    System::ServiceHolder<SettingService> settings;
    StyleBrushList list;  // nothing read yet
    for (const auto index : {StyleBrushList::Text, StyleBrushList::OutsideDisplay}) {
        try {
            list.get(index);
            ADD_FAILURE() << index;
        } catch (const std::exception& e) {
            EXPECT_NE(std::string(e.what()).find("ini file parameter invalid format(RGB) or undefined."),
                      std::string::npos)
                << e.what();
        }
    }
    list.entries[StyleBrushList::Footer].generator = nullptr;
    try {
        list.get(StyleBrushList::Footer);
        ADD_FAILURE();
    } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find("resource generator not set."), std::string::npos);
    }
}

TEST_F(Style, EveryIconIsAThirtyTwoPixelPictureWithAlpha) {
    install(kLayout);
    System::ServiceHolder<SettingService> settings;
    System::ServiceHolder<Media::ImageService> images;
    Window::StyleBitmapList list;
    for (int32_t i = 0; i < Window::StyleBitmapList::Count; ++i) {
        const D2::Bitmap& bitmap = list.get(Window::StyleBitmapList::Index(i));
        EXPECT_EQ(bitmap.width(), 32u) << i;
        EXPECT_EQ(bitmap.height(), 32u) << i;
        const uint8_t* p = bitmap.data();
        const size_t size = size_t(bitmap.stride()) * bitmap.height();
        bool clear = false, opaque = false, premultiplied = true;
        for (size_t k = 0; k < size; k += 4) {
            clear |= p[k + 3] == 0;
            opaque |= p[k + 3] >= 128;
            premultiplied &= p[k] <= p[k + 3] && p[k + 1] <= p[k + 3] && p[k + 2] <= p[k + 3];
        }
        EXPECT_TRUE(opaque) << i;
        EXPECT_TRUE(premultiplied) << i;
        // The arrows are drawn on black; every other picture has a transparent ground.
        if (i != Window::StyleBitmapList::ArrowUp && i != Window::StyleBitmapList::ArrowDown) EXPECT_TRUE(clear) << i;
    }
    EXPECT_EQ(&list.get(Window::StyleBitmapList::Clock), &list.get(Window::StyleBitmapList::Clock));
}

TEST_F(Style, AMissingPictureFailsWithTheResourceLookup) {
    install(kLayout);
    fs::remove(TestFolders::install() / "icons" / "160.png");
    System::ServiceHolder<SettingService> settings;
    System::ServiceHolder<Media::ImageService> images;
    Window::StyleBitmapList list;
    try {
        list.get(Window::StyleBitmapList::ColorWheel);
        ADD_FAILURE();
    } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find("FindResource"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("Media::ImageService::loadFromResource"), std::string::npos) << e.what();
    }
    EXPECT_EQ(list.get(Window::StyleBitmapList::Clock).width(), 32u);
}

TEST(StyleTables, FileFiltersKeepTheirInnerTerminators) {
    const struct {
        const wchar_t* literal;
        size_t length;
    } cases[] = {
        {L"AllFile (*.*)\0*.*\0\0", 18},
        {L"ProjectFile (*.vpj2)\0*.vpj2\0AllFile (*.*)\0*.*\0\0", 46},
        {L"", 0},
    };
    for (const auto& c : cases) {
        const std::wstring filter = Dialog::makeFileFilter(c.literal);
        ASSERT_EQ(filter.size(), c.length);
        EXPECT_TRUE(std::equal(filter.begin(), filter.end(), c.literal));
        if (c.length > 0) EXPECT_EQ(filter.back(), L'\0');
        EXPECT_EQ(filter.c_str()[filter.size()], L'\0');
    }
    EXPECT_EQ(Dialog::AllFileFilter, Dialog::makeFileFilter(L"AllFile (*.*)\0*.*\0\0"));
    EXPECT_EQ(Dialog::ProjectFileFilter.substr(0, 21), std::wstring(L"ProjectFile (*.vpj2)\0", 21));
}

TEST(StyleTables, ZoomLevelsAscendAndColorsAreInPaletteOrder) {
    EXPECT_TRUE(std::is_sorted(Window::ZoomLevels.begin(), Window::ZoomLevels.end()));
    EXPECT_EQ(Window::ZoomLevels.front(), 20);
    EXPECT_EQ(Window::ZoomLevels[5], 100);
    EXPECT_EQ(Window::ZoomLevels.back(), 100000);
    std::wstring names;
    for (const auto& c : Window::NamedColors) names += std::wstring(c.name) + L" ";
    EXPECT_EQ(names, L"white red yellow green aqua blue magenta black ");
    EXPECT_EQ(Window::NamedColors[4].rgba[0], 0);
    EXPECT_EQ(Window::NamedColors[4].rgba[2], 1);
}

}  // namespace
