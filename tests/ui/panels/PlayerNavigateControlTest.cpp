// The playback bar: where its buttons sit, and a click routed to play/stop
// starting and stopping the player, whose state the button's shape follows.
#include "ui/panels/PlayerNavigateControl.h"

#include <gtest/gtest.h>

#include <memory>
#include <shared_mutex>

#include "core/EventService.h"
#include "core/ServiceHolder.h"
#include "edit/ReadSection.h"
#include "edit/Scene.h"
#include "render/MoviePlayer.h"
#include "render/RenderAudioWorker.h"
#include "render/RenderVideoWorker.h"
#include "ui/controls/ControlContainer.h"
#include "ui/framework/DockFixture.h"
#include "ui/framework/WindowMouseService.h"

namespace {

using Component::PlayerNavigateControl;
using Control::IconButtonControl;

class PlayerBar : public DockWindow {
protected:
    void SetUp() override {
        DockWindow::SetUp();
        // The buttons' colours as well.
        stopServices();
        writeFile(install() / "style.conf",
                  "[Color]\nBackground=102030\nWindowBorder=405060\nWindowSeparator=708090\nBorderFocus=f0e0d0\n"
                  "Footer=c08040\nFooterProgress=204080,40a0ff\nText=ffffff\nTextDisable=808080\n"
                  "ButtonBody=303030\nButtonBodyHover=404040\nButtonBodyPress=505050\nButtonBodyDisable=202020\n"
                  "[Layout]\nSettingItemHeight=20\nExplorerHeaderHeight=28\nListItemHeight=24\n"
                  "[Font]\nFooter=12,DejaVu Sans\n");
        startServices();
        scene->length = 90;
        scene->cursorFrame = 10;
        Render::MoviePlayer::Connections c;
        c.currentScene = [this] { return scene; };
        c.video = &video;
        c.audio = &audio;
        c.events = Event::EventService::get();
        // A clock that never moves: nothing becomes due while the test looks.
        c.clock.counter = [] { return int64_t{1000}; };
        c.clock.frequency = 1000;
        c.clock.pause = [] {};
        player = std::make_unique<Render::MoviePlayer>(std::move(c));
        Event::EventService::get()->playStateListeners.add([this](bool on) { states.push_back(on); });
        container.updateChildLayout();
        bar = std::make_unique<PlayerNavigateControl>(container, kHeight, player.get());
        container.updateChildLayout();
    }
    void TearDown() override {
        bar.reset();
        player.reset();
        DockWindow::TearDown();
    }

    // A press and a release at the points, each sent to what the router finds under it.
    void click(int32_t x, int32_t y, int32_t releaseX, int32_t releaseY) {
        Window::WindowMouse* pressed = Window::WindowMouseService::get()->findTarget(x, y);
        Window::WindowMouseService::routingBusy = false;
        ASSERT_NE(nullptr, pressed);
        const Window::MouseRect& r = *pressed->rect;
        pressed->procLButtonDown(x - r.x, y - r.y);
        pressed->procLButtonUp(releaseX - r.x, releaseY - r.y);
    }
    void clickCentre(IconButtonControl& button) {
        const Window::MouseRect& r = button.fullRect;
        click(r.x + r.w / 2, r.y + r.h / 2, r.x + r.w / 2, r.y + r.h / 2);
    }

    static constexpr int32_t kHeight = 32;
    std::shared_ptr<Edit::Scene> scene = std::make_shared<Edit::Scene>(0, 0);
    std::shared_mutex lock;
    Render::RenderVideoWorker video{[this] { return std::make_unique<Edit::ReadSection>(lock, scene, nullptr); },
                                    Render::RenderVideoWorker::Settings{1000, {}}};
    Render::RenderAudioWorker audio{[this] { return std::make_unique<Edit::ReadSection>(lock, scene, nullptr); }};
    std::unique_ptr<Render::MoviePlayer> player;
    std::vector<bool> states;
    Window::MouseRect panel{20, 100, 640, 400};
    Window::ControlContainer container{0, &panel, &panel};
    std::unique_ptr<PlayerNavigateControl> bar;
};

TEST_F(PlayerBar, ButtonsAreSquaresInARowWithGapsFromTheRightAlongTheBottomStrip) {
    EXPECT_EQ(20, bar->fullRect.x);
    EXPECT_EQ(100 + 400 - kHeight, bar->fullRect.y);
    EXPECT_EQ(640, bar->fullRect.w);
    EXPECT_EQ(kHeight, bar->fullRect.h);
    const struct {
        const char* what;
        IconButtonControl& button;
        int32_t x;
    } cases[] = {
        {"play/stop", bar->playButton(), 20 + 640 + 79 - 9 * kHeight},
        {"previous frame", bar->previousFrameButton(), 20 + 640 + 79 - 9 * kHeight + kHeight - 7},
        {"next frame", bar->nextFrameButton(), 20 + 640 + 79 - 9 * kHeight + 2 * (kHeight - 7)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.x, c.button.fullRect.x) << c.what;
        EXPECT_EQ(bar->fullRect.y + 7, c.button.fullRect.y) << c.what;
        EXPECT_EQ(kHeight - 14, c.button.fullRect.w) << c.what;
        EXPECT_EQ(kHeight - 14, c.button.fullRect.h) << c.what;
    }
}

TEST_F(PlayerBar, AClickOnPlayStartsThePlayerAndTheNextStopsIt) {
    IconButtonControl& play = bar->playButton();
    const IconButtonControl::Icon* playShape = play.icon;
    ASSERT_NE(nullptr, playShape);

    clickCentre(play);
    EXPECT_TRUE(player->isPlaying());
    EXPECT_TRUE(scene->playing);
    EXPECT_EQ(10, player->startFrame());
    const IconButtonControl::Icon* stopShape = play.icon;
    EXPECT_NE(playShape, stopShape) << "the button shows stop while playing";

    clickCentre(play);
    EXPECT_FALSE(player->isPlaying());
    EXPECT_FALSE(scene->playing);
    EXPECT_EQ(playShape, play.icon);
    EXPECT_EQ((std::vector<bool>{true, false}), states);
}

TEST_F(PlayerBar, APressReleasedOutsideTheButtonOrOnTheBarDoesNothing) {
    const Window::MouseRect& r = bar->playButton().fullRect;
    click(r.x + 2, r.y + 2, r.x + r.w + 5, r.y + 2);
    click(bar->fullRect.x + 5, bar->fullRect.y + 5, bar->fullRect.x + 5, bar->fullRect.y + 5);
    EXPECT_FALSE(player->isPlaying());
    EXPECT_TRUE(states.empty());
}

}  // namespace
