// Palette files read and written, the built-in palette written when there is
// none, preset colours kept in step with the palettes' names, and the preset
// colours the text tags find once the effect registry is up.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "core/TextConvert.h"
#include "effect/EffectService.h"
#include "effect/PaletteManager.h"
#include "support/LogCapture.h"
#include "support/ShownErrors.h"
#include "support/TestFolders.h"

namespace {

using Effect::PaletteDefine;
using Effect::PaletteEntry;
using Effect::PaletteManager;

std::string hex(const Media::ColorRgba& c) {
    return System::wideToUtf8(Media::rgbToText(Media::rgbToBytes(c.r, c.g, c.b)));
}

TEST(PaletteFileTest, LinesSetTheirEntryAndMalformedOnesAreSkipped) {
    struct Case {
        const char* text;
        int index;
        const char* color;  // expected rrggbb of the entry
        const char* name;
    };
    const Case cases[] = {
        {"0=ffffff|white", 0, "ffffff", "white"},
        {"12=808080", 12, "808080", ""},
        {"12=808080\r\n", 12, "808080", ""},
        {" +7 = 0A0b0C |x", 7, "0a0b0c", "x"},
        {"5=ff0000|a|b", 5, "ff0000", "a"},
        {"5=ff0000|", 5, "ff0000", ""},
        {"3=00ff00|leaf\n3=0000ff", 3, "0000ff", ""},
        {"4=ff0000|\xe7\xb7\x91", 4, "ff0000", "\xe7\xb7\x91"},
        // Skipped: bad colour, index out of range or not a number, two "=", comments, no "=".
        {"5=zz0000", 5, "000000", ""},
        {"5=ff00", 5, "000000", ""},
        {"5=ff000000", 5, "000000", ""},
        {"70=ff0000|x", 63, "000000", ""},
        {"-1=ff0000|x", 0, "000000", ""},
        {"a=ff0000|x", 0, "000000", ""},
        {"1=ff0000=1", 1, "000000", ""},
        {";1=ff0000", 1, "000000", ""},
        {"1 ff0000", 1, "000000", ""},
        {"", 0, "000000", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::vector<PaletteEntry> entries = PaletteDefine::parsePalette(c.text);
        ASSERT_EQ(entries.size(), 64u);
        EXPECT_EQ(hex(entries[c.index].color), c.color);
        EXPECT_EQ(entries[c.index].color.a, 1.0f);
        EXPECT_EQ(System::wideToUtf8(entries[c.index].name), c.name);
        for (int i = 0; i < 64; ++i)
            if (i != c.index) EXPECT_EQ(hex(entries[i].color), "000000") << i;
    }
}

TEST(PaletteFileTest, WrittenLinesRoundTrip) {
    std::vector<PaletteEntry> entries(64);
    entries[0] = {{1, 1, 1, 1}, L"white"};
    entries[1] = {{0.5f, 0.5f, 0, 1}, L""};  // 127.5 rounds away from zero
    entries[2] = {{-0.1f, 1.5f, 0.2f, 1}, L"\u7dd1"};  // clamped
    const std::string text = PaletteDefine::formatPalette(entries);
    EXPECT_EQ(text.rfind("0=ffffff|white\r\n1=808000\r\n2=00ff33|\xe7\xb7\x91\r\n3=000000\r\n", 0), 0u);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 64);
    EXPECT_EQ(text.substr(text.size() - 11), "63=000000\r\n");
    EXPECT_EQ(PaletteDefine::formatPalette(PaletteDefine::parsePalette(text)), text);
}

class PaletteManagerTest : public TestFolders {
protected:
    std::filesystem::path folder() const { return appData() / "Default"; }
    std::wstring path(const char* file) const { return wide(folder() / file); }
    static std::vector<std::string> presetNames(const PaletteManager& manager) {
        std::vector<std::string> names;
        for (const auto* define : manager.getPresetColorMenuList()) names.push_back(System::wideToUtf8(define->name));
        return names;
    }
    LogCapture log;
    ShownErrors errors;
};

TEST_F(PaletteManagerTest, AnEmptyFolderGetsTheDefaultPaletteAndItsEightPresets) {
    PaletteManager manager;
    manager.loadPalettes();
    const std::string written = readFile(folder() / "default.palette");
    EXPECT_EQ(written.rfind("0=ffffff|white\r\n1=dfdfdf\r\n2=bfbfbf\r\n3=9f9f9f\r\n", 0), 0u);
    EXPECT_NE(written.find("\r\n8=ff0000|red\r\n9=df0000\r\n"), std::string::npos);
    EXPECT_NE(written.find("\r\n56=000000|black\r\n"), std::string::npos);
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 64);
    EXPECT_EQ(presetNames(manager), (std::vector<std::string>{"white", "red", "yellow", "green", "aqua", "blue",
                                                              "magenta", "black"}));
    Media::ColorRgba color;
    ASSERT_TRUE(manager.findPresetColor(L"aqua", color));
    EXPECT_EQ(hex(color), "00ffff");
    EXPECT_FALSE(manager.findPresetColor(L"Aqua", color));

    // Loading again reads the written file back: the same palette, orders go on.
    manager.loadPalettes();
    ASSERT_EQ(manager.getPaletteList().size(), 1u);
    EXPECT_EQ(manager.getPresetColorMenuList().front()->order, 8);
    EXPECT_TRUE(errors.texts.empty());
}

TEST_F(PaletteManagerTest, FilesRegisterByStemAndSharedNamesGiveOnePreset) {
    writeFile(folder() / "b.palette", "1=112233|accent\r\n2=445566|deep\r\n");
    writeFile(folder() / "a.palette", "3=778899|accent\r\n");
    writeFile(folder() / "empty.palette", "70=ff0000|x\r\n");
    writeFile(folder() / "ab.palette", "");
    PaletteManager manager;
    manager.loadPalettes();
    std::vector<std::string> names;
    for (const Effect::Palette* palette : manager.getPaletteList()) names.push_back(System::wideToUtf8(palette->name));
    EXPECT_EQ(names, (std::vector<std::string>{"a", "ab", "b", "empty"}));
    EXPECT_FALSE(std::filesystem::exists(folder() / "default.palette"));
    auto list = presetNames(manager);
    std::sort(list.begin(), list.end());
    EXPECT_EQ(list, (std::vector<std::string>{"accent", "deep"}));
    int accentLines = 0;
    for (const auto& line : log.snapshot()) accentLines += line.message == "register preset color [accent]";
    EXPECT_EQ(accentLines, 2);

    // A second file of a registered name is reported, and the first palette stays.
    manager.registerPalette(path("a.palette"));
    ASSERT_EQ(errors.texts.size(), 1u);
    EXPECT_EQ(errors.texts[0], "Failed to register palette. [a]\n\nDuplicate params with the same key exist.");
    // A missing file is silent.
    manager.registerPalette(path("missing.palette"));
    EXPECT_EQ(errors.texts.size(), 1u);
}

TEST_F(PaletteManagerTest, ANameMovesToTheEntryGivenItAndBothFilesAreSaved) {
    writeFile(folder() / "A.palette", "10=87ceeb\r\n");
    writeFile(folder() / "B.palette", "2=0000ff|sky\r\n4=ff0000|sun\r\n");
    PaletteManager manager;
    manager.loadPalettes();
    Effect::Palette& a = *manager.getPaletteList()[0];
    int scopes = 0;
    PaletteManager::ChangeScope previous = PaletteManager::setChangeScope([&](const std::function<void()>& change) {
        ++scopes;
        change();
    });
    const std::wstring sky = L"sky";
    manager.setPresetColorName(&sky, a, 10);
    EXPECT_EQ(readFile(folder() / "B.palette").substr(0, 20), "0=000000\r\n1=000000\r\n");
    EXPECT_NE(readFile(folder() / "B.palette").find("2=0000ff\r\n"), std::string::npos);
    EXPECT_NE(readFile(folder() / "A.palette").find("10=87ceeb|sky\r\n"), std::string::npos);
    Media::ColorRgba color;
    ASSERT_TRUE(manager.findPresetColor(L"sky", color));
    EXPECT_EQ(hex(color), "87ceeb");
    auto names = presetNames(manager);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"sky", "sun"}));

    // Passing an entry's own name keeps it; no name clears it.
    manager.setPresetColorName(&a.colors[10].name, a, 10);
    EXPECT_TRUE(manager.findPresetColor(L"sky", color));
    manager.setPresetColorName(nullptr, a, 10);
    EXPECT_FALSE(manager.findPresetColor(L"sky", color));
    EXPECT_NE(readFile(folder() / "A.palette").find("10=87ceeb\r\n"), std::string::npos);
    EXPECT_EQ(scopes, 3);
    PaletteManager::setChangeScope(previous);
    EXPECT_TRUE(errors.texts.empty());
}

TEST_F(PaletteManagerTest, AFailedSaveIsShownAndTheChangeStays) {
    writeFile(folder() / "A.palette", "1=ffffff\r\n");
    PaletteManager manager;
    manager.loadPalettes();
    Effect::Palette& a = *manager.getPaletteList()[0];
    std::filesystem::remove_all(folder());
    const std::wstring name = L"snow";
    manager.setPresetColorName(&name, a, 1);
    ASSERT_EQ(errors.texts.size(), 1u);
    EXPECT_EQ(errors.texts[0], "パレットの保存に失敗しました");
    Media::ColorRgba color;
    EXPECT_TRUE(manager.findPresetColor(L"snow", color));
}

TEST_F(PaletteManagerTest, TheRegistryOffersItsPresetColoursToText) {
    writeFile(folder() / "mine.palette", "0=123456|ink\r\n");
    {
        Effect::EffectService service;
        ASSERT_NE(Effect::PaletteManager::get(), nullptr);
        ASSERT_EQ(Media::PresetColorSource::installed, Effect::PaletteManager::get());
        Media::ColorRgba color;
        ASSERT_TRUE(Media::PresetColorSource::installed->findPresetColor(L"ink", color));
        EXPECT_EQ(hex(color), "123456");
    }
    EXPECT_EQ(Media::PresetColorSource::installed, nullptr);
    EXPECT_EQ(Effect::PaletteManager::get(), nullptr);
}

}  // namespace
