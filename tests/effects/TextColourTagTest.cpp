// Colour tags of the text source that name preset colours: the named colours
// of a palette file draw exactly as their six digits do (and a golden frame
// of them), an unknown or differently cased name leaves the colour as it was,
// and a text drawn with a preset is drawn again once the palettes change it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "effect/PaletteManager.h"
#include "effects/SourceFixture.h"
#include "effects/TextInput.h"
#include "media/gpu/Direct2DService.h"

namespace SourceTest {
namespace {

// Channels that differ by more than 2 between two pictures of one size.
size_t differing(const Picture& a, const Picture& b) {
    size_t n = 0;
    for (size_t i = 0; i < a.bgra.size(); ++i) n += std::abs(int32_t(a.bgra[i]) - int32_t(b.bgra[i])) > 2;
    return n;
}

// The colour of the opaque pixels as "rrggbb"; "mixed" when they differ, "" when there are none.
std::string opaqueColour(const Picture& picture) {
    std::string seen;
    for (uint32_t y = 0; y < picture.height; ++y)
        for (uint32_t x = 0; x < picture.width; ++x) {
            const uint8_t* p = picture.at(x, y);
            if (p[3] != 255) continue;
            char text[8];
            std::snprintf(text, sizeof text, "%02x%02x%02x", p[2], p[1], p[0]);
            if (seen.empty()) seen = text;
            if (seen != text) return "mixed";
        }
    return seen;
}

class TextColourTag : public SourceFixture {
protected:
    static void SetUpTestSuite() {
        SourceFixture::SetUpTestSuite();
        d2d_ = new System::ServiceHolder<Media::Direct2DService>();
    }
    static void TearDownTestSuite() {
        delete d2d_;
        d2d_ = nullptr;
        SourceFixture::TearDownTestSuite();
    }
    void SetUp() override {
        SourceFixture::SetUp();
        // A palette file of the user's beside the built-in one, read as the program reads it at start-up.
        writeFile(appData() / "Default" / "tags.palette",
                  "; colours for the text tags\r\n0=3080c0|sky\r\n1= FFC020 |gold|ignored\r\n2=00ff00\r\n");
        Effect::PaletteManager::get()->loadPalettes();
        ASSERT_NE(Effect::PaletteManager::get()->findPresetColor(L"sky"), nullptr);
        ASSERT_NE(Effect::PaletteManager::get()->findPresetColor(L"red"), nullptr) << "the built-in palette";
    }

    static std::string data(const std::string& name) { return std::string(VELMO_EFFECTS_TEST_DATA) + "/" + name; }

    Effect::TextInput& text() { return dynamic_cast<Effect::TextInput&>(*object->effects[0]); }
    // One text object centred in the frame, edged in the decoration's colour.
    void addText(const char* size) {
        object = add(Effect::TextInput::kName, 0);
        object->effects[0]->findItemByName(L"サイズ")->fromString(size);
        object->effects[0]->findItemByName(L"文字装飾")->fromString("縁取り文字");
        object->effects[0]->findItemByName(L"影・縁色")->fromString("404040");
        object->effects[0]->findItemByName(L"文字揃え")->fromString("中央揃え[中]");
    }
    Picture draw(const std::wstring& shown) {
        text().text.text = shown;
        return render();
    }

    std::shared_ptr<Edit::Object> object;
    static inline System::ServiceHolder<Media::Direct2DService>* d2d_ = nullptr;
};

TEST_F(TextColourTag, PresetNamesDrawAsTheirDigits) {
    struct Case {
        const char* what;
        const wchar_t* named;
        const wchar_t* digits;
    };
    const Case cases[] = {
        {"a palette file's names for the text and the edge", L"<#sky,gold>Ag 色<#>x", L"<#3080c0,ffc020>Ag 色<#>x"},
        {"the built-in palette's names", L"<#red,blue>Ag", L"<#ff0000,0000ff>Ag"},
        {"an unknown name keeps the colour before it", L"<#red>A<#nosuch>g", L"<#ff0000>A<#ff0000>g"},
        {"names match exactly", L"<#Sky,GOLD>Ag", L"Ag"},
        {"an unnamed palette colour has no name", L"<#2>Ag", L"Ag"},
    };
    newScene(240, 80);
    addText("40");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Picture digits = draw(c.digits);
        const Picture named = draw(c.named);
        ASSERT_EQ(named.bgra.size(), digits.bgra.size());
        EXPECT_EQ(differing(named, digits), 0u);
    }

    // The first case as a golden frame: sky-blue text edged in gold, then a white x edged in grey.
    const bool update = std::getenv("VELMO_UPDATE_GOLDEN") != nullptr;
    const Picture picture = draw(cases[0].named);
    const std::string golden = data("text_preset_colour.png");
    // VELMO_UPDATE_GOLDEN=1 writes the picture again; look at it before committing.
    if (update) writeFile(golden, encodePng(picture));
    const Picture expected = decodePng(readFile(golden));
    ASSERT_EQ(expected.width, picture.width) << golden;
    ASSERT_EQ(expected.height, picture.height) << golden;
    EXPECT_LE(differing(picture, expected), picture.bgra.size() / 500);
    EXPECT_TRUE(posted.empty());
}

// The image of a text is kept while nothing it shows changes; a preset
// colour that changes in the palettes is such a change.
TEST_F(TextColourTag, ARecolouredOrUnnamedPresetDrawsTheTextAgain) {
    newScene(120, 120);
    addText("60");
    object->effects[0]->findItemByName(L"文字装飾")->fromString("標準文字");
    EXPECT_EQ(opaqueColour(draw(L"<#sky>■")), "3080c0");

    Effect::PaletteManager& palettes = *Effect::PaletteManager::get();
    const std::shared_ptr<Effect::Palette> tags = palettes.findPalette(L"tags");
    ASSERT_NE(tags, nullptr);
    tags->colors[0].color = {1, 0, 0, 1};
    palettes.reloadPresetColor();
    EXPECT_EQ(opaqueColour(render()), "ff0000") << "the swatch's new colour";

    palettes.setPresetColorName(nullptr, *tags, 0);
    EXPECT_EQ(opaqueColour(render()), "ffffff") << "no such preset any more: the object's colour";
}

}  // namespace
}  // namespace SourceTest
