// The colour setting panel's H/S/V and R/G/B slider rows and its palette,
// driven through the input router: a drag on a row's face, the wheel and a
// typed value in its entry, the minus and plus buttons, each gesture one undo
// step that changes the bound item, the limits of each row and what the other
// block shows afterwards; the swatch menu's entries and the palette switch.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "ColourPanelFixture.h"
#include "effect/PaletteManager.h"
#include "platform/window/KeyMap.h"
#include "support/ScriptedDialogs.h"
#include "ui/dialogs/DialogTemplate.h"
#include "ui/settings/EffectColorInputHSVControl.h"
#include "ui/settings/EffectColorInputRGBControl.h"
#include "ui/settings/EffectColorSettingHeader.h"

namespace {

using namespace ColourPanelTest;
using Slider = Control::SliderInputControl;

class ColourRows : public ColourPanel {
public:  // the table's gestures call these
    Window::WindowMouseService& router() { return *Window::WindowMouseService::get(); }
    static RouterStep centre(Input input, const Window::WindowControl& control) {
        return {input, control.fullRect.x + control.fullRect.w / 2, control.fullRect.y + control.fullRect.h / 2, 0};
    }
    void click(const Window::WindowControl& control) {
        driver.run({centre(Input::Move, control), centre(Input::Press, control), centre(Input::Release, control)});
    }
    void type(const std::u16string& units) {
        for (char16_t u : units) router().dispatch(router().window, W::kWmChar, u, 0);
    }
    void key(uint32_t vk) { router().dispatch(router().window, W::kWmKeyDown, vk, 0); }
    // The popups from now on pick the entry of the label (none when empty);
    // offered gets each popup's entries but the blank ones, each after the
    // mark its state gives.
    static void answerMenus(std::vector<std::string>& offered, const std::string& label,
                            std::string (*mark)(W::MenuHandle, uint32_t id)) {
        W::setMenuAnswerHook([&offered, label, mark](W::MenuHandle m, const W::Point&) -> uint32_t {
            offered.clear();
            uint32_t chosen = 0;
            for (int32_t i = 0; i < W::getMenuItemCount(m); ++i) {
                std::string text;
                W::getMenuStringAt(m, i, text);
                const auto id = static_cast<uint32_t>(W::getMenuItemId(m, i));
                if (text.empty()) continue;
                offered.push_back(mark(m, id) + text);
                if (text == label) chosen = id;
            }
            return chosen;
        });
    }
    Slider& slider(char row) {
        const std::string rows = "RGBHSV";
        const size_t k = rows.find(row);
        return k < 3 ? *panel->rgbRows().sliders[k] : *panel->hsvRows().sliders[k - 3];
    }
    // The texts the six faces show, "R G B / H S V".
    std::string faces() {
        std::string out;
        for (char row : std::string("RGBHSV")) {
            if (row == 'H') out += "/ ";
            out += System::wideToUtf8(slider(row).valueText) + " ";
        }
        out.pop_back();
        return out;
    }
    // A press on the row's face, moves by dx pixels in steps of 10, and the release.
    void drag(char row, int32_t dx) {
        const RouterStep at = centre(Input::Move, slider(row).sliderButton);
        std::vector<RouterStep> steps = {at, {Input::Press, at.x, at.y, 0}};
        for (int32_t moved = 0; moved != dx;) {
            moved += std::clamp(dx - moved, -10, 10);
            steps.push_back({Input::Move, at.x + moved, at.y, 0});
        }
        steps.push_back({Input::Release, at.x + dx, at.y, 0});
        driver.run(steps);
    }
    // A click on the face opens the entry; the text typed over the selected value, then Return.
    void typeInto(char row, const std::u16string& text) {
        click(slider(row).sliderButton);
        ASSERT_TRUE(slider(row).sliderEdit.visible) << "a click opens the entry";
        type(text);
        key(W::kVkReturn);
        EXPECT_FALSE(slider(row).sliderEdit.visible) << "Return closes the entry";
    }
    // The wheel over the open entry, notches of 120 (positive: up), then Return.
    void wheel(char row, int32_t notches) {
        click(slider(row).sliderButton);
        ASSERT_TRUE(slider(row).sliderEdit.visible);
        const RouterStep at = centre(Input::Move, slider(row).sliderEdit);
        for (int32_t i = 0; i < std::abs(notches); ++i)
            driver.send({Input::Wheel, at.x, at.y, notches > 0 ? 120 : -120});
        key(W::kVkReturn);
    }
};

TEST_F(ColourRows, EveryGestureOnARowIsOneStepWithinTheRowsLimits) {
    bind();
    ASSERT_EQ(faces(), "255 0 0 / 0.0 100.0 100.0") << "red, as the rows show it";
    struct Case {
        const char* what;
        std::function<void(ColourRows&)> gesture;
        std::array<int, 3> item;  // afterwards
        const char* faces;        // afterwards
        size_t steps;             // undo steps it made (all are undone before the next case)
    };
    const Case cases[] = {
        {"R typed", [](ColourRows& t) { t.typeInto('R', u"128"); }, {128, 0, 0}, "128 0 0 / 0.0 100.0 50.2", 1},
        {"G typed above its limit", [](ColourRows& t) { t.typeInto('G', u"300"); }, {255, 255, 0},
         "255 255 0 / 60.0 100.0 100.0", 1},
        {"B typed below its limit: no change", [](ColourRows& t) { t.typeInto('B', u"-5"); }, {255, 0, 0},
         "255 0 0 / 0.0 100.0 100.0", 0},
        {"R typed with a fraction takes the nearest whole", [](ColourRows& t) { t.typeInto('R', u"99.7"); }, {100, 0, 0},
         "100 0 0 / 0.0 100.0 39.2", 1},
        {"H typed", [](ColourRows& t) { t.typeInto('H', u"120"); }, {0, 255, 0}, "0 255 0 / 120.0 100.0 100.0", 1},
        {"H 360 is the colour of 0", [](ColourRows& t) { t.typeInto('H', u"360"); }, {255, 0, 0},
         "255 0 0 / 360.0 100.0 100.0", 0},
        {"H typed above its limit", [](ColourRows& t) { t.typeInto('H', u"999"); }, {255, 0, 0},
         "255 0 0 / 360.0 100.0 100.0", 0},
        {"S typed with one decimal", [](ColourRows& t) { t.typeInto('S', u"50.04"); }, {255, 128, 128},
         "255 128 128 / 0.0 50.0 100.0", 1},
        {"V typed 0 keeps hue and saturation", [](ColourRows& t) { t.typeInto('V', u"0"); }, {0, 0, 0},
         "0 0 0 / 0.0 100.0 0.0", 1},
        {"B dragged far right stops at 255", [](ColourRows& t) { t.drag('B', 2000); }, {255, 0, 255},
         "255 0 255 / 300.0 100.0 100.0", 1},
        {"R dragged far left stops at 0", [](ColourRows& t) { t.drag('R', -2000); }, {0, 0, 0},
         "0 0 0 / 0.0 100.0 0.0", 1},
        {"V dragged far left", [](ColourRows& t) { t.drag('V', -2000); }, {0, 0, 0}, "0 0 0 / 0.0 100.0 0.0", 1},
        {"the wheel down on R's entry at its limit", [](ColourRows& t) { t.wheel('R', -2); }, {255, 0, 0},
         "255 0 0 / 0.0 100.0 100.0", 0},
        {"the wheel up on R's entry", [](ColourRows& t) { t.wheel('R', 3); }, {252, 0, 0}, "252 0 0 / 0.0 100.0 98.8",
         1},
        {"the wheel on G's entry", [](ColourRows& t) { t.wheel('G', -2); }, {255, 2, 0}, "255 2 0 / 0.5 100.0 100.0",
         1},
        {"the plus button of B", [](ColourRows& t) { t.click(t.slider('B').plusButton); }, {255, 0, 1},
         "255 0 1 / 359.8 100.0 100.0", 1},
        {"the minus button of R", [](ColourRows& t) { t.click(t.slider('R').minusButton); }, {254, 0, 0},
         "254 0 0 / 0.0 100.0 99.6", 1},
        {"the minus button of S", [](ColourRows& t) { t.click(t.slider('S').minusButton); }, {255, 0, 0},
         "255 0 0 / 0.0 99.9 100.0", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.gesture(*this);
        EXPECT_EQ(item(), c.item);
        EXPECT_EQ(faces(), c.faces);
        EXPECT_FALSE(Undo::UndoService::get()->recording) << "the gesture's record is closed";
        size_t steps = 0;
        while (Undo::UndoService::get()->canUndo() && Undo::UndoService::get()->undo()) ++steps;
        EXPECT_EQ(steps, c.steps);
        EXPECT_EQ(item(), (std::array<int, 3>{255, 0, 0})) << "undone";
        panel->setHsv(0, 1, 1);  // the hue and saturation a case may have left behind
        panel->updateColor();
    }
}

// A drag of the hue keeps saturation and value, and the item follows every
// move of it in one step.
TEST_F(ColourRows, AHueDragTurnsTheColourAndKeepsSaturationAndValue) {
    bind();
    const size_t before = records();
    drag('H', 30);
    const double hue = slider('H').getValue();
    EXPECT_GT(hue, 0);
    EXPECT_LT(hue, 360);
    EXPECT_EQ(slider('S').valueText, L"100.0");
    EXPECT_EQ(slider('V').valueText, L"100.0");
    const Media::ColorRgba expected = Media::hsvToRgb({float(hue / 360), 1, 1});
    const Media::ColorBytes bytes = Media::rgbToBytes(expected.r, expected.g, expected.b);
    EXPECT_EQ(item(), (std::array<int, 3>{bytes.r, bytes.g, bytes.b}));
    EXPECT_EQ(records(), before + 1);
}

// Tab passes the keyboard focus among the three entries of a block.
TEST_F(ColourRows, TabMovesBetweenTheEntriesOfABlock) {
    bind();
    click(slider('R').sliderButton);
    ASSERT_TRUE(slider('R').sliderEdit.visible);
    type(u"\t");
    EXPECT_FALSE(slider('R').sliderEdit.visible);
    EXPECT_TRUE(slider('G').sliderEdit.visible);
    type(u"64");
    key(W::kVkReturn);
    EXPECT_EQ(item(), (std::array<int, 3>{255, 64, 0}));
}

// The swatch menu: copy and paste a swatch, name it (a preset colour then),
// and clear the name, which is offered only for a named swatch.
TEST_F(ColourRows, TheSwatchMenuCopiesPastesAndNamesSwatches) {
    bind();
    Effect::PaletteManager& palettes = *Effect::PaletteManager::get();
    std::vector<std::string> offered;
    // Opens the menu of the swatch and picks the entry of the label (none when empty).
    const auto menu = [&](int32_t index, const std::string& label) {
        // A disabled entry is offered as "-label".
        answerMenus(offered, label,
                    [](W::MenuHandle m, uint32_t id) -> std::string { return W::isMenuItemEnabled(m, id) ? "" : "-"; });
        // A closed menu took the hover mark: the pointer moves onto the swatch again.
        const RouterStep at = onSwatch(Input::Move, index);
        driver.run({{Input::Move, at.x + 1, at.y, 0}, at});
        W::Point screen{at.x, at.y};
        ASSERT_TRUE(W::clientToScreen(router().window, screen));
        router().dispatch(router().window, W::kWmContextMenu, 0, W::makeLParam(screen.x, screen.y));
    };
    const auto swatch = [&](int32_t index) {
        const Media::ColorRgba c = panel->palette().palette->colors[size_t(index)].color;
        return System::wideToUtf8(Media::rgbToText(Media::rgbToBytes(c.r, c.g, c.b)));
    };
    const size_t before = records();

    menu(17, "コピー");  // a darker yellow
    EXPECT_EQ(offered, (std::vector<std::string>{"現在の色を登録", "コピー", "貼り付け", "プリセット名を設定",
                                                 "-プリセット名を解除"}));
    EXPECT_EQ(System::wideToUtf8(Media::rgbToText(Media::rgbToBytes(panel->copyColor.r, panel->copyColor.g,
                                                                    panel->copyColor.b))),
              swatch(17));
    menu(63, "貼り付け");
    EXPECT_EQ(swatch(63), swatch(17));

    ScriptedDialogs dialogs;
    dialogs.answers.push_back([](W::DialogWindow& d) {
        d.setText(ScriptedDialogs::field(d, "プリセット名"), "mustard");
        d.setText(ScriptedDialogs::field(d, "ラベル"), "warm");
        d.press(Dialog::DialogTemplate::kOkButtonId);
    });
    menu(63, "プリセット名を設定");
    ASSERT_EQ(dialogs.shown.size(), 1u) << testing::PrintToString(offered);
    EXPECT_EQ(dialogs.shown[0].caption, "プリセット名を設定 - 色設定");
    const Effect::PresetColorDefine* preset = palettes.findPresetColor(L"mustard");
    ASSERT_NE(preset, nullptr);
    EXPECT_EQ(preset->label, L"warm");
    EXPECT_EQ(System::wideToUtf8(Media::rgbToText(Media::rgbToBytes(preset->color.r, preset->color.g,
                                                                    preset->color.b))),
              swatch(17));
    std::ifstream file(appData() / "Default" / "default.palette", std::ios::binary);
    const std::string saved((std::istreambuf_iterator<char>(file)), {});
    EXPECT_NE(saved.find("\r\n63=" + swatch(17) + "|mustard\r\n"), std::string::npos) << saved;

    menu(63, "プリセット名を解除");
    EXPECT_EQ(offered.back(), "プリセット名を解除") << "offered for a named swatch";
    EXPECT_EQ(palettes.findPresetColor(L"mustard"), nullptr);
    EXPECT_EQ(records(), before) << "palette edits are no undo steps";
    EXPECT_EQ(item(), (std::array<int, 3>{255, 0, 0})) << "nor do they touch the item";
}

// The header's palette switch: a new palette copies the shown colours without
// their names and is shown; the list marks the shown one.
TEST_F(ColourRows, ThePaletteSwitchCreatesAndSwitchesPalettes) {
    bind();
    std::vector<std::string> offered;
    // The shown palette, the checked entry, is offered as "*name".
    const auto answer = [&offered](const std::string& label) {
        answerMenus(offered, label,
                    [](W::MenuHandle m, uint32_t id) -> std::string { return W::isMenuItemChecked(m, id) ? "*" : ""; });
    };
    ScriptedDialogs dialogs;
    dialogs.answers.push_back([](W::DialogWindow& d) {
        d.setText(ScriptedDialogs::field(d, "パレット名"), "mine");
        d.press(Dialog::DialogTemplate::kOkButtonId);
    });
    answer("新しいパレットを作成");
    click(panel->header().paletteButton);
    EXPECT_EQ(offered, (std::vector<std::string>{"*default", "新しいパレットを作成"}));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].caption, "パレットを作成 - 色設定");
    EXPECT_TRUE(std::filesystem::exists(appData() / "Default" / "mine.palette"));
    EXPECT_EQ(panel->selectPalette, L"mine");
    ASSERT_NE(panel->palette().palette, nullptr);
    EXPECT_EQ(panel->palette().palette->name, L"mine");
    EXPECT_TRUE(panel->palette().palette->colors[0].name.empty()) << "the names stay with the first palette";
    EXPECT_NE(Effect::PaletteManager::get()->findPresetColor(L"white"), nullptr);

    answer("default");
    click(panel->header().paletteButton);
    EXPECT_EQ(offered, (std::vector<std::string>{"default", "*mine", "新しいパレットを作成"}));
    EXPECT_EQ(panel->selectPalette, L"default");
    EXPECT_EQ(panel->palette().palette->name, L"default");
}

}  // namespace
