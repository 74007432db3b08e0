// The playback bar: where its buttons sit, and clicks sent through the input
// router: play/pause starting and stopping the player, whose state the
// button's glyph follows, and the frame steps moving the cursor.
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
#include "support/RouterDriver.h"
#include "ui/controls/ControlContainer.h"
#include "ui/controls/ExtraColours.h"
#include "ui/framework/DockFixture.h"
#include "ui/panels/StillPlayer.h"
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
        addStyleColours(install() / "style.conf", kButtonColours);
        startServices();
        scene->length = 90;
        scene->cursorFrame = 10;
        player = makeStillPlayer([this] { return scene; }, video, audio);
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

    // A press and a release at the points, as the window sends them to the router.
    void click(int32_t x, int32_t y, int32_t releaseX, int32_t releaseY) {
        using TestSupport::Input;
        driver.run({{Input::Move, x, y}, {Input::Press, x, y}, {Input::Move, releaseX, releaseY},
                    {Input::Release, releaseX, releaseY}});
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
    TestSupport::RouterDriver driver;
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
    ASSERT_EQ(Control::GlyphTriangleRight.triangle, play.glyph.triangle);

    clickCentre(play);
    EXPECT_TRUE(player->isPlaying());
    EXPECT_TRUE(scene->playing);
    EXPECT_EQ(10, player->startFrame());
    EXPECT_EQ(Control::GlyphPause.lines.data(), play.glyph.lines.data()) << "the button shows pause while playing";

    clickCentre(play);
    EXPECT_FALSE(player->isPlaying());
    EXPECT_FALSE(scene->playing);
    EXPECT_EQ(Control::GlyphTriangleRight.triangle, play.glyph.triangle);
    EXPECT_EQ((std::vector<bool>{true, false}), states);
}

TEST_F(PlayerBar, APressActsEvenWhenReleasedOutsideAndAPressOnTheBarDoesNothing) {
    click(bar->fullRect.x + 5, bar->fullRect.y + 5, bar->fullRect.x + 5, bar->fullRect.y + 5);
    EXPECT_FALSE(player->isPlaying());
    const Window::MouseRect& r = bar->playButton().fullRect;
    click(r.x + 2, r.y + 2, r.x + r.w + 40, r.y - 30);
    EXPECT_TRUE(player->isPlaying());
    EXPECT_EQ((std::vector<bool>{true}), states);
    player->stop();
}

}  // namespace
