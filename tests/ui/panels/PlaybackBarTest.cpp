// The playback bar with the edit service behind it, driven through the input
// router: the step buttons enabled by the cursor and the focus object, the
// range buttons taking the cursor as the range's ends, the position bar
// moving the cursor, the counter's time text, and the volume and zoom value
// buttons dragged.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <shared_mutex>

#include "core/EventService.h"
#include "core/ServiceHolder.h"
#include "edit/EditDialogs.h"
#include "edit/EditService.h"
#include "edit/Object.h"
#include "edit/ReadSection.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "media/image/ImageBuffer.h"
#include "platform/window/Menu.h"
#include "platform/window/TopLevel.h"
#include "render/MoviePlayer.h"
#include "render/RenderAudioWorker.h"
#include "render/RenderVideoWorker.h"
#include "support/RouterDriver.h"
#include "ui/controls/ControlContainer.h"
#include "ui/controls/ExtraColours.h"
#include "ui/framework/DockFixture.h"
#include "ui/panels/StillPlayer.h"
#include "ui/panels/PlayerNavigateControl.h"
#include "ui/panels/PreviewControl.h"

namespace {

using Component::PlayerNavigateControl;
using TestSupport::Input;

class PlaybackBar : public DockWindow {
protected:
    void SetUp() override {
        DockWindow::SetUp();
        stopServices();
        addStyleColours(install() / "style.conf", std::string(kButtonColours) +
                                                      "TrackBarRange=603030\nFrameRangeSelect=306030\nOutsideDisplay=000080\n");
        // Zoom presets with parts that are no zoom.
        writeFile(install() / "system.conf", "[Config]\nPreviewZoom=0,-5,abc,,100,250\n");
        startServices();
        Edit::EditService::setDialogs(dialogs);
        undo.emplace();
        edit.emplace();
        scene = edit->get()->currentScene();
        scene->length = 90;
        scene->cursorFrame = 10;
        player = makeStillPlayer([this] { return scene; }, video, audio);
        player->volume = 80;
        area = std::make_unique<Component::PreviewControl>(container, 0, 0, 0, -kHeight, &zoom);
        bar = std::make_unique<PlayerNavigateControl>(container, kHeight, player.get());
        bar->setPreviewArea(area.get());
        container.updateChildLayout();
        Media::ImageBuffer image(28, 1920, 1080);
        area->setImage(image);
    }
    void TearDown() override {
        bar.reset();
        area.reset();
        player.reset();
        scene.reset();
        edit.reset();
        undo.reset();
        Edit::EditService::setDialogs(nullptr);
        DockWindow::TearDown();
    }
    void clickCentre(Window::WindowControl& button) {
        const Window::MouseRect& r = button.fullRect;
        const int32_t x = r.x + r.w / 2, y = r.y + r.h / 2;
        driver.run({{Input::Move, x, y}, {Input::Press, x, y}, {Input::Release, x, y}});
    }
    // A press on the control's centre, moves by the offsets, then the release.
    void dragFrom(Window::WindowControl& control, std::initializer_list<std::pair<int32_t, int32_t>> moves) {
        const Window::MouseRect& r = control.fullRect;
        const int32_t x = r.x + r.w / 2, y = r.y + r.h / 2;
        driver.run({{Input::Move, x, y}, {Input::Press, x, y}});
        int32_t lastX = x, lastY = y;
        for (const auto& [dx, dy] : moves) {
            lastX = x + dx;
            lastY = y + dy;
            driver.send({Input::Move, lastX, lastY});
        }
        driver.send({Input::Release, lastX, lastY});
    }
    void moveCursor(int32_t frame) { edit->get()->setCursorFrame(frame); }

    static constexpr int32_t kHeight = 32;
    std::shared_ptr<Edit::HeadlessDialogs> dialogs = std::make_shared<Edit::HeadlessDialogs>();
    std::optional<System::ServiceHolder<Undo::UndoService>> undo;
    std::optional<System::ServiceHolder<Edit::EditService>> edit;
    std::shared_ptr<Edit::Scene> scene;
    std::shared_mutex lock;
    Render::RenderVideoWorker video{[this] { return std::make_unique<Edit::ReadSection>(lock, scene, nullptr); },
                                    Render::RenderVideoWorker::Settings{1000, {}}};
    Render::RenderAudioWorker audio{[this] { return std::make_unique<Edit::ReadSection>(lock, scene, nullptr); }};
    std::unique_ptr<Render::MoviePlayer> player;
    int32_t zoom = 0;
    // A 960 x 540 canvas above the bar.
    Window::MouseRect panel{20, 40, 960, 540 + kHeight};
    Window::ControlContainer container{0, &panel, &panel};
    std::unique_ptr<Component::PreviewControl> area;
    std::unique_ptr<PlayerNavigateControl> bar;
    TestSupport::RouterDriver driver;
};

TEST_F(PlaybackBar, StepButtonsFollowTheCursorAndTheFocusObject) {
    const auto object = std::make_shared<Edit::Object>(0, 20, 50);
    const struct {
        const char* what;
        int32_t cursor;
        bool focus;
        bool previousFrame, nextFrame, previousSection, nextSection;
    } cases[] = {
        {"at frame 0 without a focus object", 0, false, false, true, false, false},
        {"at the last frame", 90, false, true, false, false, false},
        {"inside the focus object", 30, true, true, true, true, true},
        {"at the focus object's start", 20, true, true, true, false, true},
        {"at its end", 50, true, true, true, true, false},
        {"before it", 5, true, true, true, false, true},
    };
    for (const auto& c : cases) {
        scene->focusObject = c.focus ? object : nullptr;
        moveCursor(c.cursor);
        bar->updateButtons();
        EXPECT_EQ(c.previousFrame, bar->previousFrameButton().enabled) << c.what;
        EXPECT_EQ(c.nextFrame, bar->nextFrameButton().enabled) << c.what;
        EXPECT_EQ(c.previousSection, bar->previousSectionButton().enabled) << c.what;
        EXPECT_EQ(c.nextSection, bar->nextSectionButton().enabled) << c.what;
    }
    scene->focusObject.reset();
}

TEST_F(PlaybackBar, RangeButtonsTakeTheCursorAndSectionButtonsCallTheirCommands) {
    std::vector<std::pair<int, int>> ranges;
    Event::EventService::get()->frameRangeListeners.add([&](int a, int b) { ranges.emplace_back(a, b); });
    moveCursor(30);
    clickCentre(bar->rangeStartButton());
    moveCursor(45);
    clickCentre(bar->rangeEndButton());
    moveCursor(12);
    clickCentre(bar->rangeStartButton());
    EXPECT_EQ((std::vector<std::pair<int, int>>{{30, 90}, {30, 45}, {12, 45}}), ranges);
    EXPECT_EQ(12, scene->selectedStart);
    EXPECT_EQ(45, scene->selectedEnd);

    int previous = 0, next = 0;
    bar->previousSectionAction = [&] { ++previous; };
    bar->nextSectionAction = [&] { ++next; };
    scene->focusObject = std::make_shared<Edit::Object>(0, 0, 60);
    bar->updateButtons();
    clickCentre(bar->previousSectionButton());
    clickCentre(bar->nextSectionButton());
    clickCentre(bar->nextSectionButton());
    EXPECT_EQ(1, previous);
    EXPECT_EQ(2, next);
    scene->focusObject.reset();
}

TEST_F(PlaybackBar, PositionBarAndFrameButtonsMoveTheCursorAndTheCounterShowsItsTime) {
    EXPECT_EQ(L"00:00:00.33", bar->timeCounter().text());
    clickCentre(bar->nextFrameButton());
    EXPECT_EQ(11, scene->cursorFrame);
    EXPECT_EQ(11, bar->positionBar().position);
    EXPECT_EQ(L"00:00:00.36", bar->timeCounter().text());
    // The knob dragged to the bar's far end reaches the last frame.
    Control::TrackBarControl& position = bar->positionBar();
    const Window::MouseRect& knob = position.knobRect;
    const int32_t x = knob.x + knob.w / 2, y = knob.y + knob.h / 2;
    driver.run({{Input::Move, x, y}, {Input::Press, x, y}, {Input::Move, x + position.barLength * 2, y},
                {Input::Release, x + position.barLength * 2, y}});
    EXPECT_EQ(90, scene->cursorFrame);
    EXPECT_EQ(L"00:00:03.00", bar->timeCounter().text());
    const struct {
        int32_t frame, rate, scale;
        const wchar_t* text;
    } times[] = {{0, 30, 1, L"00:00:00.00"}, {45, 30, 1, L"00:00:01.50"}, {3600 * 30 + 15, 30, 1, L"01:00:00.50"},
                 {1001, 30000, 1001, L"00:00:33.40"}, {5, 0, 1, L"00:00:00.00"}};
    for (const auto& t : times)
        EXPECT_EQ(t.text, Component::TimeCounterControl::timeText(t.frame, t.rate, t.scale)) << t.frame;
}

TEST_F(PlaybackBar, VolumeDragStopsAtTheEndsTwoPixelsAPercent) {
    Component::VolulmeButtonControl& volume = bar->volumeButton();
    dragFrom(volume, {{0, -10}, {0, -21}});
    EXPECT_EQ(90, player->volume) << "21 pixels up from 80";
    dragFrom(volume, {{0, -100}, {0, -300}});
    EXPECT_EQ(100, player->volume);
    dragFrom(volume, {{0, 100}, {0, 400}});
    EXPECT_EQ(0, player->volume);
    EXPECT_EQ(L"0%", volume.getValueText());
}

TEST_F(PlaybackBar, ZoomDragStartsFromTheFittedZoomAndStaysWithinItsLimits) {
    // A 1920 x 1080 frame fitted into the 960 x 540 canvas shows at 50 %.
    EXPECT_EQ(50, area->fittedZoom());
    Component::ZoomButtonControl& button = bar->zoomButton();
    dragFrom(button, {{0, -2}});
    EXPECT_EQ(51, zoom) << "one step up from fit";
    zoom = 0;
    dragFrom(button, {{0, -20}, {0, -140}});
    EXPECT_EQ(100, zoom) << "1.01 to the 70th times 50";
    dragFrom(button, {{0, -3000}});
    EXPECT_EQ(4000, zoom);
    dragFrom(button, {{0, 3000}});
    EXPECT_EQ(10, zoom);
    const struct {
        int32_t press, dy, zoom;
    } steps[] = {{50, 0, 50}, {50, -1, 50}, {50, -2, 51}, {50, 2, 49}, {100, -200, 270}, {20, 40, 16}, {10, 10, 10}};
    for (const auto& s : steps)
        EXPECT_EQ(s.zoom, Component::ZoomButtonControl::draggedZoom(s.press, 0, s.dy)) << s.press << " " << s.dy;
    EXPECT_EQ(L"WindowSize", Component::ZoomButtonControl::zoomText(0));
    EXPECT_EQ(L"150%", Component::ZoomButtonControl::zoomText(150));
}

TEST_F(PlaybackBar, ZoomRightDragPansTheZoomedFrame) {
    zoom = 200;
    ASSERT_TRUE(TestSupport::RouterDriver::drawQueued());
    area->procPaint();
    ASSERT_TRUE(area->scrollBarsShown());
    const int32_t x0 = area->scrollX(), y0 = area->scrollY();
    Component::ZoomButtonControl& button = bar->zoomButton();
    const Window::MouseRect& r = button.fullRect;
    const int32_t x = r.x + r.w / 2, y = r.y + r.h / 2;
    Window::WindowMouseService* router = Window::WindowMouseService::get();
    driver.send({Input::Move, x, y});
    router->dispatch(router->window, Platform::window::kWmRButtonDown, Platform::window::kMkRButton,
                     Platform::window::makeLParam(x, y));
    driver.send({Input::Move, x - 40, y - 30});
    router->dispatch(router->window, Platform::window::kWmRButtonUp, 0, Platform::window::makeLParam(x - 40, y - 30));
    EXPECT_EQ(x0 + 40, area->scrollX()) << "grabbing the frame: the view moves against the pointer";
    EXPECT_EQ(y0 + 30, area->scrollY());
}

}  // namespace

namespace {

// Opens the control's context menu through the router, reads its labels and
// check marks, and chooses the item with the label (none: chooses nothing).
struct MenuSeen {
    std::vector<std::string> labels;
    std::string checked;
};
MenuSeen contextMenuOf(Window::WindowControl& control, const std::string& choose) {
    namespace W = Platform::window;
    MenuSeen seen;
    W::setMenuAnswerHook([&](W::MenuHandle menu, const W::Point&) {
        uint32_t chosen = 0;
        for (int32_t i = 0; i < W::getMenuItemCount(menu); ++i) {
            std::string text;
            (void)W::getMenuStringAt(menu, i, text);
            const int32_t id = W::getMenuItemId(menu, i);
            seen.labels.push_back(text);
            if (id > 0 && W::isMenuItemChecked(menu, static_cast<uint32_t>(id))) seen.checked = text;
            if (text == choose) chosen = static_cast<uint32_t>(id);
        }
        return chosen;
    });
    Window::WindowMouseService* router = Window::WindowMouseService::get();
    W::Point p{control.fullRect.x + control.fullRect.w / 2, control.fullRect.y + control.fullRect.h / 2};
    (void)W::clientToScreen(router->window, p);
    router->dispatch(router->window, W::kWmContextMenu, 0, W::makeLParam(p.x, p.y));
    W::setMenuAnswerHook({});
    return seen;
}

TEST_F(PlaybackBar, VolumeMenuOffersTenPercentStepsAndZoomMenuTheZoomPresets) {
    player->volume = 40;
    MenuSeen volume = contextMenuOf(bar->volumeButton(), "70%");
    EXPECT_EQ((std::vector<std::string>{"0%", "10%", "20%", "30%", "40%", "50%", "60%", "70%", "80%", "90%", "100%"}),
              volume.labels);
    EXPECT_EQ("40%", volume.checked);
    EXPECT_EQ(70, player->volume);

    zoom = 100;
    MenuSeen presets = contextMenuOf(bar->zoomButton(), "250%");
    EXPECT_EQ((std::vector<std::string>{"WindowSize", "100%", "250%"}), presets.labels);
    EXPECT_EQ("100%", presets.checked);
    EXPECT_EQ(250, zoom);
}

TEST_F(PlaybackBar, BarMenuPlaysClearsTheRangeAndTogglesTheReturnToTheCursor) {
    scene->selectedStart = 5;
    scene->selectedEnd = 20;
    player->returnCursorPosition = 1;
    MenuSeen menu = contextMenuOf(*bar, "フレーム範囲選択を解除");
    EXPECT_EQ("停止時にカーソル位置へ戻る", menu.checked);
    EXPECT_EQ(-1, scene->selectedStart);
    EXPECT_EQ(-1, scene->selectedEnd);
    (void)contextMenuOf(*bar, "停止時にカーソル位置へ戻る");
    EXPECT_EQ(0, player->returnCursorPosition);
    (void)contextMenuOf(*bar, "再生");
    EXPECT_TRUE(player->isPlaying());
    (void)contextMenuOf(*bar, "停止");
    EXPECT_FALSE(player->isPlaying());
}

}  // namespace
