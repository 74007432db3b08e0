// The object settings header's gauge: the mapping between frames and bar
// pixels, presses and drags through the input router moving the scene's
// cursor (a press near a section boundary jumps to it), the boundary tool
// tip, the time texts, and the menu that adds or deletes a midpoint.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/EventService.h"
#include "core/ServiceHolder.h"
#include "edit/EditDialogs.h"
#include "edit/EditService.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "platform/window/Menu.h"
#include "ui/controls/ControlFixture.h"
#include "ui/controls/ExtraColours.h"
#include "ui/controls/SettingHeaderGaugeControl.h"
#include "ui/framework/ToolTips.h"

namespace {

namespace W = Platform::window;
using Control::SettingHeaderGaugeControl;
using TestSupport::Input;
using TestSupport::RouterStep;

class Gauges : public ControlWindow {
protected:
    void SetUp() override {
        ControlWindow::SetUp();
        stopServices();
        addStyleColours(install() / "style.conf",
                        "ObjectVideo=304060,6080c0\nObjectVideoSelect=5070a0\nObjectSection=e0c040\n"
                        "BorderSelect=ff8000\nFrameCursor=ff0000\n");
        startServices();
        container.updateChildLayout();
        Edit::EditService::setDialogs(dialogs);
        undo.emplace();
        edit.emplace();
        scene().length = 1000;
        scene().videoRate = 30;
        scene().videoScale = 1;
        // A gauge 60 high whose bar is 101 pixels wide (margins of 15).
        gauge = std::make_unique<SettingHeaderGaugeControl>(container, 10, 10, 131, 60);
        container.updateChildLayout();
    }
    void TearDown() override {
        gauge.reset();
        edit.reset();
        undo.reset();
        Edit::EditService::setDialogs(nullptr);
        ControlWindow::TearDown();
    }
    Edit::Scene& scene() { return *edit->get()->currentScene(); }
    // An object of frames 200..300 with midpoints at the offsets.
    std::shared_ptr<Edit::Object> object(std::vector<int32_t> midpoints) {
        auto o = std::make_shared<Edit::Object>(0, 200, 300);
        o->midpoints = std::move(midpoints);
        return o;
    }
    // The client x of bar pixel p.
    int32_t at(int32_t p) const { return gauge->fullRect.x + gauge->margin + p; }
    int32_t y() const { return gauge->fullRect.y + 30; }

    std::shared_ptr<Edit::HeadlessDialogs> dialogs = std::make_shared<Edit::HeadlessDialogs>();
    std::optional<System::ServiceHolder<Undo::UndoService>> undo;
    std::optional<System::ServiceHolder<Edit::EditService>> edit;
    std::unique_ptr<SettingHeaderGaugeControl> gauge;
};

TEST_F(Gauges, TheSizesFollowTheHeightAndFramesMapOntoTheBar) {
    EXPECT_EQ(10, gauge->markerSize);
    EXPECT_EQ(15, gauge->margin);
    EXPECT_EQ(13, gauge->top);
    gauge->setObject(object({}));
    gauge->layoutGauge();
    ASSERT_EQ(101, gauge->barWidth);
    EXPECT_EQ(101, gauge->length);
    const struct {
        int32_t frame, x;
    } toX[] = {{200, 0}, {300, 100}, {250, 50}, {199, -1}, {301, -1}};
    for (const auto& c : toX) EXPECT_EQ(c.x, gauge->frameToX(c.frame)) << c.frame;
    const struct {
        int32_t local, frame;
    } toFrame[] = {{15, 200}, {115, 300}, {65, 250}, {16, 201}};
    for (const auto& c : toFrame) EXPECT_EQ(c.frame, gauge->xToFrame(c.local)) << c.local;
    // Too short an object or too narrow a bar maps everything to the start.
    gauge->length = 1;
    EXPECT_EQ(0, gauge->frameToX(200));
    EXPECT_EQ(200, gauge->xToFrame(80));
}

TEST_F(Gauges, PressesAndDragsMoveTheSceneCursorAndBoundariesCatchThePointer) {
    const struct {
        const char* what;
        std::vector<int32_t> midpoints;
        std::vector<RouterStep> steps;  // x in bar pixels
        std::vector<int32_t> cursor;    // after each step
    } cases[] = {
        {"a press away from a boundary", {30, 60}, {{Input::Move, 50}, {Input::Press, 50}, {Input::Release, 50}},
         {0, 250, 250}},
        {"a press within 8 pixels of a midpoint jumps to it", {30, 60},
         {{Input::Move, 55}, {Input::Press, 55}, {Input::Release, 55}}, {0, 260, 260}},
        {"a press near the start", {}, {{Input::Move, 3}, {Input::Press, 3}, {Input::Release, 3}}, {0, 200, 200}},
        {"exactly between two boundaries takes the earlier", {30, 34},
         {{Input::Move, 32}, {Input::Press, 32}, {Input::Release, 32}}, {0, 230, 230}},
        {"a drag follows the pointer and is clamped into the object", {30, 60},
         {{Input::Move, 10}, {Input::Press, 10}, {Input::Move, 40}, {Input::Move, 150}, {Input::Move, -30},
          {Input::Release, -30}},
         {0, 210, 240, 300, 200, 200}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        scene().cursorFrame = 0;
        gauge->setObject(object(c.midpoints));
        std::vector<int32_t> cursor;
        for (RouterStep step : c.steps) {
            step.x = at(step.x), step.y = y();
            driver.send(step);
            cursor.push_back(scene().cursorFrame);
        }
        EXPECT_EQ(c.cursor, cursor);
        EXPECT_FALSE(gauge->dragging);
        driver.send({Input::Move, 5, 5});
    }
}

TEST_F(Gauges, WithoutAnObjectOrRoomTheCursorStays) {
    const struct {
        const char* what;
        bool withObject;
        int32_t width;
        int32_t end;
    } cases[] = {
        {"no object", false, 131, 300},
        {"a bar of one pixel", true, 31, 300},
        {"an object of one frame", true, 131, 200},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        gauge = std::make_unique<SettingHeaderGaugeControl>(container, 10, 10, c.width, 60);
        container.updateChildLayout();
        if (c.withObject) gauge->setObject(std::make_shared<Edit::Object>(0, 200, c.end));
        scene().cursorFrame = 7;
        driver.run({{Input::Move, at(0), y()}, {Input::Press, at(0), y()}, {Input::Move, at(20), y()},
                    {Input::Release, at(20), y()}});
        EXPECT_EQ(7, scene().cursorFrame);
        driver.send({Input::Move, 5, 5});
    }
}

TEST_F(Gauges, TheTimeTextsAndTheBoundaryToolTip) {
    gauge->setObject(object({30, 60}));
    EXPECT_EQ(L" 00:03.36", gauge->durationText()) << "101 frames at 30 per second";
    const struct {
        int32_t cursor;
        const wchar_t* text;
        bool inside;
    } cases[] = {{230, L"00:01.00 /", true}, {200, L"00:00.00 /", true}, {170, L"-00:01.00 /", false},
                 {301, L"00:03.36 /", false}};
    for (const auto& c : cases) {
        gauge->cursorFrame = c.cursor;
        EXPECT_EQ(c.text, gauge->cursorText()) << c.cursor;
        EXPECT_EQ(c.inside, gauge->cursorInside()) << c.cursor;
    }
    gauge->cursorFrame = 170;
    EXPECT_EQ(-1, gauge->frameToX(gauge->cursorFrame)) << "no cursor line before the object";
    gauge->invalidate();
    EXPECT_TRUE(TestSupport::RouterDriver::drawQueued());
    // Resting on the first midpoint (frame 230) shows its time in the scene and in the object.
    driver.run({{Input::Move, at(30), y()}, {Input::Hover, at(30), y()}});
    EXPECT_EQ(1, gauge->hoveredBoundary);
    EXPECT_EQ(L"00:00:07.66 ( 00:01.00 )", Window::ToolTips::text);
    driver.send({Input::Leave});
    EXPECT_EQ(-1, gauge->hoveredBoundary);
}

TEST_F(Gauges, MidpointsOnOnePixelDrawOneMark) {
    gauge->setObject(object({30, 60}));
    gauge->layoutGauge();
    EXPECT_EQ((std::vector<int32_t>{30, 60}), gauge->markPositions());
    // 1001 frames on 101 pixels: offsets 500 and 505 share pixel 50.
    auto wide = std::make_shared<Edit::Object>(0, 0, 1000);
    wide->midpoints = {500, 505, 900};
    gauge->setObject(wide);
    EXPECT_EQ((std::vector<int32_t>{50, 90}), gauge->markPositions());
    gauge->invalidate();
    EXPECT_TRUE(TestSupport::RouterDriver::drawQueued());
}

TEST_F(Gauges, TheMenuOffersToAddOrDeleteAMidpointAsTheCursorAndSectionAllow) {
    int32_t section = 0;
    std::vector<std::string> asked;
    gauge->panel.shownSection = [&] { return section; };
    gauge->panel.addMidpoint = [&](const std::shared_ptr<Edit::Object>&, int32_t frame) {
        asked.push_back("add " + std::to_string(frame));
    };
    gauge->panel.deleteMidpoint = [&](const std::shared_ptr<Edit::Object>&, int32_t s) {
        asked.push_back("delete " + std::to_string(s));
    };
    gauge->panel.panelMenu = [](Window::BaseMenu& menu) { menu.insertItem(L"パネル", [] {}); };
    struct Shown {
        std::vector<std::string> labels;
        std::vector<bool> enabled;
    } shown;
    int32_t choose = -1;
    W::setMenuAnswerHook([&](W::MenuHandle menu, const W::Point&) -> uint32_t {
        shown = {};
        uint32_t chosen = 0;
        for (int32_t i = 0; i < W::getMenuItemCount(menu); ++i) {
            std::string text;
            W::getMenuStringAt(menu, i, text);
            const auto id = static_cast<uint32_t>(W::getMenuItemId(menu, i));
            shown.labels.push_back(text);
            shown.enabled.push_back(W::isMenuItemEnabled(menu, id));
            if (i == choose) chosen = id;
        }
        return chosen;
    });
    const struct {
        const char* what;
        bool withObject;
        int32_t cursor, section, choose;
        std::vector<bool> enabled;
        std::vector<std::string> asked;
    } cases[] = {
        {"cursor inside a section, section 0", true, 240, 0, 0, {true, false}, {"add 240"}},
        {"cursor on a midpoint", true, 230, 1, 1, {false, true}, {"delete 1"}},
        {"cursor outside the object", true, 100, 2, -1, {false, true}, {}},
        {"past the last midpoint's section", true, 250, 3, -1, {true, false}, {}},
        {"no object: the panel's menu", false, 250, 0, -1, {true}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        gauge->setObject(c.withObject ? object({30, 60}) : nullptr);
        gauge->cursorFrame = c.cursor;
        section = c.section;
        choose = c.choose;
        asked.clear();
        gauge->showMenu();
        EXPECT_EQ(c.enabled, shown.enabled);
        if (c.withObject)
            EXPECT_EQ((std::vector<std::string>{"カーソル位置に中間点を追加", "中間点を削除"}), shown.labels);
        EXPECT_EQ(c.asked, asked);
    }
    W::setMenuAnswerHook(nullptr);
}

}  // namespace
