// The font registry over the installed fonts, font lookup by name with bold
// and italic, and the metrics a font face gives text drawing. Only the
// packaged CJK family is relied on.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/IniFile.h"
#include "core/Log.h"
#include "core/ServiceHolder.h"
#include "core/SettingService.h"
#include "core/StringHelper.h"
#include "media/gpu/Direct2DService.h"
#include "media/gpu/FontFace.h"
#include "media/gpu/FontManager.h"
#include "platform/draw2d/Font.h"
#include "support/TestFolders.h"

namespace {
namespace D2 = Platform::draw2d;

class FontRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        System::Log::setHandler([this](const System::Log::Type& type, const char* scope, const char* message) {
            std::lock_guard lock(mutex);
            lines.push_back(std::string(type.name) + "|" + scope + "|" + message);
        });
        service = std::make_unique<System::ServiceHolder<Media::Direct2DService>>();
    }
    void TearDown() override {
        service.reset();
        System::Log::setHandler(System::Log::defaultHandler);
    }
    Media::FontManager& fonts() { return Media::Direct2DService::get()->fontManager; }

    std::mutex mutex;
    std::vector<std::string> lines;
    std::unique_ptr<System::ServiceHolder<Media::Direct2DService>> service;
};

TEST_F(FontRegistry, RegistersTheUprightFacesUnderTheirNamesAndLogsEach) {
    const Media::FontDefine* noto = fonts().find(L"Noto Sans CJK JP");
    ASSERT_NE(nullptr, noto);
    EXPECT_EQ(400, noto->font->weight()) << "the first face of a name wins";
    EXPECT_EQ(L"Noto Sans CJK JP", noto->getName());
    EXPECT_EQ(L"Noto Sans CJK JP", noto->getDisplayName());
    EXPECT_EQ(std::string("Font"), Media::FontDefine::kKind);
    EXPECT_TRUE(noto->label.empty());
    EXPECT_NE(nullptr, fonts().find(L"Noto Serif CJK JP"));
    // The bold face shares the name: not registered again, but it takes a number.
    const Media::FontDefine* next = fonts().find(L"Noto Sans CJK KR");
    ASSERT_NE(nullptr, next);
    EXPECT_GE(next->defaultOrder - noto->defaultOrder, 2);
    size_t registered = 0;
    for (const std::string& line : lines)
        if (line.rfind("INFO|Media::FontManager::registerFont|register font [", 0) == 0) ++registered;
    EXPECT_EQ(fonts().size(), registered);
    bool logged = false;
    for (const std::string& line : lines)
        if (line.find("register font [Noto Sans CJK JP]") != std::string::npos) logged = true;
    EXPECT_TRUE(logged);
    // Orders follow registration; the name list is in natural order.
    const auto byOrder = fonts().getFontList();
    for (size_t i = 1; i < byOrder.size(); ++i) EXPECT_LT(byOrder[i - 1]->order, byOrder[i]->order);
    const auto byName = fonts().getFontListByName();
    ASSERT_EQ(byOrder.size(), byName.size());
    for (size_t i = 1; i < byName.size(); ++i)
        EXPECT_LE(System::compareNatural(byName[i - 1]->fontName, byName[i]->fontName), 0);
}

class FontMenuEntries : public TestFolders {};

// The fonts are entries of the font menu: their label, order and hidden flag
// come from the settings and go back there.
TEST_F(FontMenuEntries, KeepTheirSettings) {
    writeFile(appData() / "velmo2.ini", "[Font.Noto Serif CJK JP]\nlabel=明朝\norder=-5\nhide=1\n");
    std::optional<System::ServiceHolder<Setting::SettingService>> settings(std::in_place);
    std::optional<System::ServiceHolder<Media::Direct2DService>> d2d(std::in_place);
    Media::FontManager& fonts = Media::Direct2DService::get()->fontManager;
    const auto byOrder = fonts.getFontList();
    ASSERT_FALSE(byOrder.empty());
    const Media::FontDefine* serif = byOrder.front();
    EXPECT_EQ(serif->getName(), L"Noto Serif CJK JP") << "its order puts it first";
    EXPECT_EQ(serif->label, L"明朝");
    EXPECT_EQ(serif->hide, 1);
    EXPECT_EQ(serif->settingsKey(), "Font.Noto Serif CJK JP");
    Media::FontDefine* sans = const_cast<Media::FontDefine*>(fonts.find(L"Noto Sans CJK JP"));
    ASSERT_NE(sans, nullptr);
    EXPECT_TRUE(sans->label.empty());
    EXPECT_EQ(sans->order, sans->defaultOrder);
    sans->label = L"ゴシック";
    d2d.reset();  // the entries write themselves back
    System::IniFile& ini = *Setting::SettingService::mainSettings();
    EXPECT_EQ(ini.getValue("Font.Noto Sans CJK JP", "label").text, "ゴシック");
    EXPECT_EQ(ini.getValue("Font.Noto Serif CJK JP", "order").text, "-5");
    EXPECT_EQ(ini.getValue("Font.Noto Serif CJK JP", "hide").text, "1");
}

TEST(FontManager, BoldAddsTwoHundredWithinTheWeightRange) {
    const struct {
        int32_t weight;
        bool bold;
        int32_t asked;
    } cases[] = {{400, false, 400}, {400, true, 600}, {700, true, 900}, {900, true, 999}, {850, true, 999}};
    for (const auto& c : cases)
        EXPECT_EQ(c.asked, Media::FontManager::requestedWeight(c.weight, c.bold)) << c.weight << " " << c.bold;
}

TEST(FontManager, UserLocaleComesFromTheEnvironmentAsATag) {
    const char* saved = std::getenv("LC_ALL");
    const std::string keep = saved != nullptr ? saved : "";
    const struct {
        const char* value;
        const char* tag;
    } cases[] = {{"ja_JP.UTF-8", "ja-jp"}, {"en_US", "en-us"}, {"de_DE@euro", "de-de"}, {"C", ""}, {"POSIX", ""}};
    for (const auto& c : cases) {
        setenv("LC_ALL", c.value, 1);
        EXPECT_EQ(c.tag, Media::FontManager::userLocaleName()) << c.value;
    }
    if (saved != nullptr)
        setenv("LC_ALL", keep.c_str(), 1);
    else
        unsetenv("LC_ALL");
}

TEST_F(FontRegistry, GetFontFindsSiblingsAndFallsBackToTheDefaultFamily) {
    System::ServiceHolder<Setting::SettingService> settings;
    Setting::SettingService::get()->style.getValue("Font", "DefaultFamily").text = "Noto Sans CJK JP";
    const struct {
        const wchar_t* name;
        bool bold, italic;
        int32_t weight;
        D2::FontStyle style;
    } cases[] = {
        {L"Noto Sans CJK JP", false, false, 400, D2::FontStyle::Normal},
        {L"Noto Sans CJK JP", true, false, 700, D2::FontStyle::Normal},
        {L"Noto Sans CJK JP", false, true, 400, D2::FontStyle::Oblique},
        {L"No Such Font", false, false, 400, D2::FontStyle::Normal},
        {L"No Such Font", true, false, 700, D2::FontStyle::Normal},  // asks 600: the bold face
    };
    for (const auto& c : cases) {
        const auto font = fonts().getFont(c.name, c.bold, c.italic);
        ASSERT_TRUE(font);
        EXPECT_EQ(c.weight, font->weight());
        EXPECT_EQ(c.style, font->style());
        const D2::LocalizedName* family = D2::findLocalizedName(font->family()->familyNames(), "en-us");
        ASSERT_NE(nullptr, family);
        EXPECT_EQ("Noto Sans CJK JP", family->name);
    }
    // A default family that is not installed: the collection's first family.
    Setting::SettingService::get()->style.getValue("Font", "DefaultFamily").text = "No Such Family";
    EXPECT_EQ(Media::Direct2DService::get()->writeFactory->family(0),
              fonts().getFont(L"Nothing", false, false)->family());
    EXPECT_EQ(fonts().find(L"Noto Sans CJK JP")->font, fonts().getFont(L"Noto Sans CJK JP", false, false))
        << "plain requests return the registered face itself";
}

TEST_F(FontRegistry, FontFaceMetricsFollowTheDesignUnits) {
    Resource::FontFace vertical;
    vertical.setFont(L"Noto Sans CJK JP", 40, false, false, true);
    EXPECT_EQ(20, vertical.ascent);
    EXPECT_EQ(40, vertical.lineAdvance);
    EXPECT_EQ(1, vertical.vertical);
    Resource::FontFace horizontal;
    horizontal.setFont(L"Noto Sans CJK JP", 20, false, false, false);
    const D2::FontMetrics& m = horizontal.fontFace.object->metrics();
    const float scale = 20.0f / m.designUnitsPerEm;
    EXPECT_FLOAT_EQ(scale, horizontal.designScale);
    EXPECT_FLOAT_EQ(m.ascent * scale, horizontal.ascent);
    EXPECT_FLOAT_EQ((m.ascent + m.lineGap + m.descent) * scale, horizontal.lineAdvance);
    // The packaged face: 1000 units per em, ascent 1160, descent 288, no gap.
    EXPECT_NEAR(23.2f, horizontal.ascent, 1e-4);
    EXPECT_NEAR(28.96f, horizontal.lineAdvance, 1e-4);
    EXPECT_EQ(0, horizontal.vertical);
}

}  // namespace
