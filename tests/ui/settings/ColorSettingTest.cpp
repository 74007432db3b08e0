// The colour setting panel: the circle's geometry and the colours at its
// points, the hue kept through black and greys, and the circle, palette and
// old-colour patch driven through the input router, each change one undo step.
#include "ui/settings/EffectColorSettingComponent.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "ColourPanelFixture.h"
#include "SettingFixture.h"
#include "core/HookScope.h"
#include "edit/UndoService.h"
#include "effect/EffectItemColor.h"
#include "effect/EffectService.h"
#include "effect/PaletteManager.h"
#include "platform/window/Menu.h"
#include "ui/settings/EffectColorCircleControl.h"
#include "ui/settings/EffectColorPaletteControl.h"
#include "ui/settings/EffectColorPreviewControl.h"

namespace {

using namespace ColourPanelTest;

TEST(ColorCircleGeometry, SizesGiveTheRingAndTheInscribedSquare) {
    struct Case {
        int32_t w, h;
        Circle::Geometry g;
    };
    const Case cases[] = {
        {200, 200, {198, 24, 102, 48, 1, 1}},
        {300, 200, {198, 24, 102, 48, 51, 1}},
        {12, 12, {10, 1, 1, 4, 1, 1}},
        {10, 10, {0, 1, 0, 4, 5, 5}},  // the square comes out empty: nothing is drawn or hit
        {2, 2, {0, 0, 0, 0, 1, 1}},
        {0, 5, {0, 0, 0, 0, 0, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h);
        const Circle::Geometry g = Circle::layout(c.w, c.h);
        EXPECT_EQ(g.diameter, c.g.diameter);
        EXPECT_EQ(g.ringWidth, c.g.ringWidth);
        EXPECT_EQ(g.squareSize, c.g.squareSize);
        EXPECT_EQ(g.squareOffset, c.g.squareOffset);
        EXPECT_EQ(g.originX, c.g.originX);
        EXPECT_EQ(g.originY, c.g.originY);
        if (g.diameter == 0) EXPECT_EQ(Circle::partAt(g, c.w / 2, c.h / 2), Circle::None);
    }
}

TEST(ColorCircleGeometry, PointsHitTheRingOrTheSquareUpToEightPixelsOutside) {
    const Circle::Geometry g = Circle::layout(200, 200);  // centre 100,100; ring 75..99
    struct Case {
        int32_t x, y, part;
    };
    const Case cases[] = {
        {100 + 87, 100, Circle::Ring},   // the ring's middle
        {100 + 107, 100, Circle::Ring},  // 8 outside
        {100 + 108, 100, Circle::None},  // 9 outside, the square far
        {100 + 59, 100, Circle::Square},  // 8 right of the square
        {100 + 60, 100, Circle::None},   // 9 from both
        {43, 60, Circle::Square},        // as near the ring as the square: the square
        {100, 100, Circle::Square},
        {100, 100 - 90, Circle::Ring},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_EQ(Circle::partAt(g, c.x, c.y), c.part);
    }
}

TEST(ColorCircleGeometry, TheRingShowsTheReferenceHueAtTheTopAndGrowsClockwise) {
    const Circle::Geometry g = Circle::layout(200, 200);
    struct Case {
        int32_t angle;
        int32_t x, y;     // a point on the ring's middle, relative to the control
        float hueDegrees;  // picked there
        std::array<uint8_t, 4> pixel;  // drawn at the same place of the image (origin 1,1)
    };
    const Case cases[] = {
        {60, 100, 13, 60, {255, 255, 0, 255}},     // top
        {60, 187, 100, 150, {0, 255, 127, 255}},   // right
        {60, 100, 187, 240, {0, 0, 255, 255}},     // bottom
        {60, 13, 100, 330, {255, 0, 128, 255}},    // left
        {0, 100, 13, 0, {255, 0, 0, 255}},
        {0, 187, 100, 90, {128, 255, 0, 255}},
        {360, 100, 13, 0, {255, 0, 0, 255}},  // as 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "angle " << c.angle << " at " << c.x << "," << c.y);
        float hue = -1;
        ASSERT_TRUE(Circle::hueAt(g, c.angle, c.x, c.y, hue));
        EXPECT_NEAR(hue * 360, c.hueDegrees, 0.01);
        EXPECT_EQ(Circle::ringPixel(g, c.angle, c.y - g.originY, c.x - g.originX), c.pixel);
    }
    float hue = -1;
    EXPECT_FALSE(Circle::hueAt(g, 60, 100, 100, hue)) << "the centre has no hue";
    // Outside the ring and at its very edge nothing is drawn.
    EXPECT_EQ(Circle::ringPixel(g, 60, 99, 99)[3], 0);
    EXPECT_EQ(Circle::ringPixel(g, 60, 0, 99)[3], 0);
    EXPECT_EQ(Circle::ringPixel(g, 60, 99 - 87, 99)[3], 255);
}

TEST(ColorCircleGeometry, TheSquarePinsSaturationAndValueAtItsEdges) {
    const Circle::Geometry g = Circle::layout(200, 200);  // square 49..150, 102 pixels
    struct Case {
        int32_t x, y;
        float s, v;
    };
    const Case cases[] = {
        {49, 49, 0, 1}, {150, 49, 1, 1}, {49, 150, 0, 0}, {150, 150, 1, 0},
        {0, 0, 0, 1},   {400, 400, 1, 0}, {100, 100, 51.0f / 101, 1 - 51.0f / 101},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        float s = -1, v = -1;
        Circle::squareAt(g, c.x, c.y, s, v);
        EXPECT_FLOAT_EQ(s, c.s);
        EXPECT_FLOAT_EQ(v, c.v);
    }
}

TEST_F(ColourPanel, HueAndSaturationSurviveBlackAndGreys) {
    struct Step {
        const char* what;
        bool fromHsv;
        Media::ColorRgba rgb;  // the red/green/blue side
        float h, s, v;         // the hue/saturation/value side, or the expected result
    };
    const Step steps[] = {
        {"orange", false, {1, 0.5f, 0, 1}, 30.0f / 360, 1, 1},
        {"black keeps hue and saturation", false, {0, 0, 0, 1}, 30.0f / 360, 1, 0},
        {"value back up", true, {}, 30.0f / 360, 1, 0.5f},
        {"a grey keeps the hue", false, {0.4f, 0.4f, 0.4f, 1}, 30.0f / 360, 0, 0.4f},
        {"below one byte step: nothing", false, {0.4f + 0.001f, 0.4f, 0.4f, 1}, 30.0f / 360, 0, 0.4f},
        {"blue", false, {0, 0, 1, 1}, 240.0f / 360, 1, 1},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        if (step.fromHsv)
            panel->setHsv(step.h, step.s, step.v);
        else
            panel->setColor(step.rgb);
        EXPECT_NEAR(panel->hue, step.h, 1e-5);
        EXPECT_NEAR(panel->saturation, step.s, 1e-5);
        EXPECT_NEAR(panel->value, step.v, 1e-5);
    }
    EXPECT_EQ(panel->color.b, 1.0f);
}

TEST_F(ColourPanel, ADragOnTheRingIsOneUndoStep) {
    bind();
    EXPECT_EQ(panel->hue, 0.0f);
    const size_t before = records();
    // Reference hue 60 at the top: the right side is 150, the bottom 240.
    driver.run({onCircle(Input::Move, 1, 0), onCircle(Input::Press, 1, 0)});
    EXPECT_EQ(item(), (std::array<int, 3>{0, 255, 128}));
    driver.run({onCircle(Input::Move, 0.2f, 1.3f), onCircle(Input::Move, 0, 1), onCircle(Input::Release, 0, 1)});
    EXPECT_EQ(item(), (std::array<int, 3>{0, 0, 255}));
    EXPECT_NEAR(panel->hue * 360, 240, 0.5);
    ASSERT_EQ(records(), before + 1);
    EXPECT_FALSE(Undo::UndoService::get()->recording);

    ASSERT_TRUE(Undo::UndoService::get()->undo());
    EXPECT_EQ(item(), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(panel->color.r, 1.0f) << "the panel follows the undone item";
    EXPECT_EQ(panel->hue, 0.0f);
}

TEST_F(ColourPanel, TheSquarePinsAtItsEdgesAndTheRingTurnsTheHueOfBlack) {
    bind();
    const size_t before = records();
    driver.run({onCircle(Input::Move, 0, 0), onCircle(Input::Press, 0, 0), onCircle(Input::Move, -3, -3),
                onCircle(Input::Release, -3, -3)});
    EXPECT_EQ(item(), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(panel->saturation, 0.0f);
    EXPECT_EQ(panel->value, 1.0f);
    driver.run({onCircle(Input::Move, 0, 0), onCircle(Input::Press, 0, 0), onCircle(Input::Move, 3, 3),
                onCircle(Input::Release, 3, 3)});
    EXPECT_EQ(item(), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(panel->saturation, 1.0f);
    EXPECT_EQ(records(), before + 2);

    // Black stays black while the ring turns the hue; the unchanged item records nothing.
    driver.run({onCircle(Input::Move, 0, 1), onCircle(Input::Press, 0, 1), onCircle(Input::Move, -1, 0),
                onCircle(Input::Release, -1, 0)});
    EXPECT_NEAR(panel->hue * 360, 330, 0.5);
    EXPECT_EQ(item(), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(records(), before + 2);
    ASSERT_TRUE(TestSupport::RouterDriver::drawQueued());
    EXPECT_EQ(panel->circle().cachedHue, panel->hue) << "the square was drawn again for the new hue";
}

TEST_F(ColourPanel, ASwatchSetsTheItemInOneStepOrOnlyThePanelWhenUnbound) {
    bind();
    const size_t before = records();
    driver.run({onSwatch(Input::Move, 16), onSwatch(Input::Press, 16), onSwatch(Input::Release, 16)});
    EXPECT_EQ(item(), (std::array<int, 3>{255, 255, 0})) << "the default palette's yellow";
    ASSERT_EQ(records(), before + 1);
    ASSERT_TRUE(Undo::UndoService::get()->undo());
    EXPECT_EQ(item(), (std::array<int, 3>{255, 0, 0}));

    panel->setFocusObject(nullptr);  // the focus left: unbound
    driver.run({onSwatch(Input::Move, 40), onSwatch(Input::Press, 40), onSwatch(Input::Release, 40)});
    EXPECT_EQ(panel->color.b, 1.0f);
    EXPECT_EQ(panel->color.r, 0.0f);
    EXPECT_EQ(item(), (std::array<int, 3>{255, 0, 0}));
    EXPECT_TRUE(Undo::UndoService::get()->canRedo()) << "no new step took the redo away";
}

TEST_F(ColourPanel, TheOldColourSwapsInOneStepThatRestoresBothColours) {
    bind();
    // Nothing to swap while both are the same.
    const size_t before = records();
    driver.run({onOldColour(Input::Move), onOldColour(Input::Press), onOldColour(Input::Release)});
    EXPECT_EQ(records(), before);

    driver.run({onSwatch(Input::Move, 16), onSwatch(Input::Press, 16), onSwatch(Input::Release, 16)});
    ASSERT_EQ(item(), (std::array<int, 3>{255, 255, 0}));
    driver.run({onOldColour(Input::Move), onOldColour(Input::Press), onOldColour(Input::Release)});
    EXPECT_EQ(item(), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(panel->oldColor.g, 1.0f);
    ASSERT_EQ(records(), before + 2);
    EXPECT_EQ(Undo::UndoService::get()->history()->records.front().items.size(), 2u);

    ASSERT_TRUE(Undo::UndoService::get()->undo());
    EXPECT_EQ(item(), (std::array<int, 3>{255, 255, 0}));
    EXPECT_EQ(panel->color.g, 1.0f);
    EXPECT_EQ(panel->oldColor.g, 0.0f) << "the old colour is red again";
    EXPECT_EQ(panel->oldColor.r, 1.0f);
}

TEST_F(ColourPanel, ARegisteredSwatchIsSavedToItsFileAndReadBack) {
    bind();
    panel->setColor({0x12 / 255.0f, 0x34 / 255.0f, 0x56 / 255.0f, 1});
    driver.run({onSwatch(Input::Move, 9)});
    answerMenu("現在の色を登録");
    const RouterStep at = onSwatch(Input::Move, 9);
    W::Point screen{at.x, at.y};
    Window::WindowMouseService* router = Window::WindowMouseService::get();
    ASSERT_TRUE(W::clientToScreen(router->window, screen));
    router->dispatch(router->window, W::kWmContextMenu, 0, W::makeLParam(screen.x, screen.y));
    EXPECT_EQ(panel->palette().hoverIndex, -1) << "the menu closed and took the hover mark";

    std::ifstream file(appData() / "Default" / "default.palette", std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_NE(text.str().find("\r\n9=123456\r\n"), std::string::npos) << text.str();
    Effect::PaletteManager::get()->loadPalettes();
    panel->palette().setPalette(L"default");
    EXPECT_EQ(Media::rgbToText(Media::rgbToBytes(panel->palette().palette->colors[9].color.r,
                                                 panel->palette().palette->colors[9].color.g,
                                                 panel->palette().palette->colors[9].color.b)),
              L"123456");
    EXPECT_EQ(panel->selectPalette, L"default");
    panel->palette().setPalette(L"no such palette");
    EXPECT_EQ(panel->selectPalette, L"default") << "an unknown name shows the first palette";
}

}  // namespace
