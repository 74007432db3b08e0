// The buttons driven through the input router: each acts when the left
// button goes down, keeps acting when released elsewhere, takes no press
// while disabled; the check, wheel, text-icon and repeat buttons add their
// own gestures; a button asks to be drawn and is drawn once per pass.
#include "ui/controls/ButtonControl.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/controls/BitmapButtonControl.h"
#include "ui/controls/CheckBitmapButtonControl.h"
#include "ui/controls/CheckTextButtonControl.h"
#include "ui/controls/IconButtonControl.h"
#include "ui/controls/PaintQueue.h"
#include "ui/controls/RepeatClickButtonControl.h"
#include "ui/controls/TextButtonControl.h"
#include "ui/controls/TextButtonWheelControl.h"
#include "ui/controls/TextIconButtonControl.h"
#include "core/SettingService.h"
#include "ui/controls/ZoomGaugeControl.h"
#include "ui/framework/ToolTips.h"
#include "ui/controls/ControlFixture.h"

namespace {

using TestSupport::Input;
using TestSupport::RouterStep;

class Buttons : public ControlWindow {
protected:
    // The button's centre in client pixels, moved by (dx, dy).
    static RouterStep at(Input input, const Window::WindowControl& c, int32_t dx = 0, int32_t dy = 0) {
        return {input, c.fullRect.x + c.fullRect.w / 2 + dx, c.fullRect.y + c.fullRect.h / 2 + dy, 0};
    }
};

// A text button that counts its drawings.
class CountedButton : public Control::TextButtonControl {
public:
    using TextButtonControl::TextButtonControl;
    void procPaint() override {
        ++paints;
        TextButtonControl::procPaint();
    }
    int paints = 0;
};

// A row the text-icon button is laid out in.
class Strip : public Window::WindowControl {
public:
    using WindowControl::WindowControl;
    void procPaint() override {}
};

TEST_F(Buttons, EveryKindActsAtThePressAndAReleaseElsewhereDoesNotUndoIt) {
    std::vector<std::unique_ptr<Control::ButtonControl>> buttons;
    buttons.push_back(std::make_unique<Control::IconButtonControl>(container, 10, 10, 24, 24,
                                                                   Control::GlyphTriangleRight, true));
    buttons.push_back(std::make_unique<Control::BitmapButtonControl>(container, 40, 10, 24, 24,
                                                                     Window::StyleBitmapList::Lock));
    buttons.push_back(std::make_unique<Control::TextButtonControl>(container, 70, 10, 80, 24, 0));
    buttons.push_back(std::make_unique<Control::TextButtonWheelControl>(container, 160, 10, 80, 24, 1));
    buttons.push_back(std::make_unique<Control::CheckTextButtonControl>(container, 250, 10, 80, 24, L"on"));
    for (auto& button : buttons) {
        int clicks = 0;
        int clicksAtPress = -1;
        button->clickAction = [&](Control::ButtonControl&) { ++clicks; };
        const RouterStep press = at(Input::Press, *button);
        driver.send(press);
        clicksAtPress = clicks;
        EXPECT_TRUE(button->dragging) << "pressed " << button->fullRect.x;
        driver.run({{Input::Move, press.x + 200, press.y + 150}, {Input::Release, press.x + 200, press.y + 150}});
        EXPECT_EQ(1, clicksAtPress) << "the button at " << button->fullRect.x << " acts when the button goes down";
        EXPECT_EQ(1, clicks) << "the button at " << button->fullRect.x << " acts once";
        EXPECT_FALSE(button->dragging) << "released " << button->fullRect.x;

        button->setEnabled(false);
        driver.run({at(Input::Press, *button), at(Input::Release, *button)});
        EXPECT_EQ(1, clicks) << "a disabled button at " << button->fullRect.x << " takes no press";
        button->setEnabled(true);
    }
}

TEST_F(Buttons, ACheckButtonFlipsAtThePressAndTellsItsOwnerAfterwards) {
    Control::CheckButtonControl check(container, 10, 10, 20, 20);
    std::vector<bool> seen;
    check.setCheckAction([&](Control::CheckButtonControl& c) { seen.push_back(c.checkState); });
    driver.run({at(Input::Press, check)});
    EXPECT_TRUE(check.checkState);
    driver.run({at(Input::Release, check), at(Input::Press, check), at(Input::Release, check)});
    EXPECT_FALSE(check.checkState);
    EXPECT_EQ((std::vector<bool>{true, false}), seen);
    check.setCheckState(true);
    EXPECT_EQ(2u, seen.size()) << "the owner setting the state is not a gesture";
}

TEST_F(Buttons, AWheelButtonTakesTheWheelOnlyWithAnActionAndWhileHovered) {
    Control::TextButtonWheelControl plain(container, 10, 10, 100, 24, 0);
    Control::TextButtonWheelControl turning(container, 10, 60, 100, 24, 0);
    std::vector<int32_t> deltas;
    turning.wheelAction = [&](Control::TextButtonWheelControl&, int32_t delta) { deltas.push_back(delta); };
    bool allowed = true;
    turning.wheelFilter = [&](Control::TextButtonWheelControl&) { return allowed; };

    const auto wheel = [](const Window::WindowControl& c, int32_t delta) {
        RouterStep step = at(Input::Wheel, c);
        step.delta = delta;
        return step;
    };
    const struct {
        const char* what;
        bool allowed;
        std::vector<RouterStep> steps;
        std::vector<int32_t> expected;
    } cases[] = {
        {"over the button without an action", true, {at(Input::Move, plain), wheel(plain, 120)}, {}},
        {"hovered, both ways", true, {at(Input::Move, turning), wheel(turning, 120), wheel(turning, -120)},
         {120, -120}},
        {"pointer moved away first", true, {at(Input::Move, plain), wheel(turning, -120)}, {}},
        {"refused by the filter", false, {at(Input::Move, turning), wheel(turning, 120)}, {}},
    };
    for (const auto& c : cases) {
        deltas.clear();
        allowed = c.allowed;
        driver.run(c.steps);
        EXPECT_EQ(c.expected, deltas) << c.what;
    }
}

TEST_F(Buttons, TheIconOfATextIconButtonIsAButtonOfItsOwnOnlyWhileItHasABitmap) {
    Strip strip(container, 10, 10, 200, 24);
    Control::TextIconButtonControl button(strip, 150, L"name");
    container.updateChildLayout();
    std::vector<std::string> log;
    button.clickAction = [&](Control::ButtonControl&) { log.push_back("click"); };
    button.iconAction = [&](Control::ButtonControl&) { log.push_back("icon"); };
    const RouterStep rightEnd{Input::Press, button.fullRect.x + button.fullRect.w - 4, button.fullRect.y + 12};

    driver.run({rightEnd, {Input::Release, rightEnd.x, rightEnd.y}});
    EXPECT_FALSE(button.iconPart.visible);
    EXPECT_EQ((std::vector<std::string>{"click"}), log) << "without a bitmap the right end is the button";

    log.clear();
    button.setIcon(Window::StyleBitmapList::Setting);
    EXPECT_TRUE(button.iconPart.visible);
    EXPECT_EQ(button.fullRect.x + button.fullRect.w - button.fullRect.h, button.iconRect.x);
    EXPECT_EQ(button.fullRect.h, button.iconRect.w);
    driver.run({rightEnd, {Input::Release, rightEnd.x, rightEnd.y}, at(Input::Press, button, -40),
                at(Input::Release, button, -40)});
    EXPECT_EQ((std::vector<std::string>{"icon", "click"}), log);
    EXPECT_FALSE(button.iconPart.dragging) << "the icon does not claim the press";
}

TEST_F(Buttons, ARepeatButtonClicksAtThePressThenRepeatsFromTheMainLoopUntilReleased) {
    Setting::SettingService::get()->system.keyRepeatDelay = 250;
    Setting::SettingService::get()->system.keyRepeatInterval = 30;
    Control::RepeatClickButtonControl button(container, 10, 10, 20, 20, Control::GlyphTriangleUp);
    std::vector<std::string> log;
    int clicks = 0;
    button.pressAction = [&](Control::ButtonControl&) { log.push_back("press"); };
    button.clickAction = [&](Control::ButtonControl&) { ++clicks; };
    button.releaseAction = [&](Control::ButtonControl&) { log.push_back("release"); };

    // Released before the delay: one click.
    driver.run({at(Input::Press, button), at(Input::Release, button)});
    EXPECT_EQ(1, clicks);
    EXPECT_EQ((std::vector<std::string>{"press", "release"}), log);
    EXPECT_EQ(0u, button.repeatTimer.id());

    // Held: the timer keeps clicking until the release.
    clicks = 0;
    driver.send(at(Input::Press, button));
    EXPECT_EQ(1, clicks);
    ASSERT_TRUE(TestSupport::pumpUntil([&] { return clicks >= 5; }, "four repeats"));
    driver.send(at(Input::Release, button));
    const int released = clicks;
    EXPECT_EQ(0u, button.repeatTimer.id());
    // Let any stale expiry through: none may click.
    CountedButton marker(container, 100, 100, 10, 10, 0);
    marker.invalidate();
    TestSupport::RouterDriver::drawQueued();
    EXPECT_EQ(released, clicks);
}

TEST_F(Buttons, TheRepeatTimingComesFromTheKeyboardSettings) {
    const struct {
        int32_t delay, interval;
    } cases[] = {{250, 30}, {1000, 400}};
    for (const auto& c : cases) {
        Setting::SettingService::get()->system.keyRepeatDelay = c.delay;
        Setting::SettingService::get()->system.keyRepeatInterval = c.interval;
        EXPECT_EQ(uint32_t(c.delay), Control::RepeatClickButtonControl::repeatDelay());
        EXPECT_EQ(uint32_t(c.interval), Control::RepeatClickButtonControl::repeatInterval());
    }
}

TEST_F(Buttons, AGestureAsksForOneDrawingAfterThePassAndNothingWhileTheLookStays) {
    CountedButton button(container, 10, 10, 80, 24, 0);
    button.setText(L"OK");
    TestSupport::RouterDriver::drawQueued();
    button.paints = 0;
    // Enter, press, release: three changes of look, handled in one pass.
    driver.run({at(Input::Move, button), at(Input::Press, button), at(Input::Release, button)});
    EXPECT_EQ(0, button.paints) << "no drawing from inside the handlers";
    EXPECT_TRUE(Window::PaintQueue::isQueued(&button));
    TestSupport::RouterDriver::drawQueued();
    EXPECT_EQ(1, button.paints);
    // Moves within the button change nothing.
    driver.run({at(Input::Move, button, 3), at(Input::Move, button, 5)});
    button.setText(L"OK");
    button.setEnabled(true);
    EXPECT_FALSE(Window::PaintQueue::isQueued(&button));
}

TEST_F(Buttons, APointerRestingOnAControlShowsItsToolTipAndAnEmptyTipShowsNothing) {
    Control::TextButtonControl plain(container, 10, 10, 80, 24, 0);
    Control::TextButtonControl tipped(container, 100, 10, 80, 24, 0);
    tipped.toolTipText = L"Add";
    Strip strip(container, 200, 10, 200, 24);
    Control::TextIconButtonControl textIcon(strip, 150, L"name");
    container.updateChildLayout();
    textIcon.setIcon(Window::StyleBitmapList::Setting);
    textIcon.iconToolTipText = L"Settings";
    Control::ZoomGaugeControl gauge(container, 10, 60, 260, 20);
    const RouterStep onIcon{Input::Move, textIcon.iconRect.x + 4, textIcon.iconRect.y + 4};
    const struct {
        const char* what;
        RouterStep place;
        bool shown;
        std::wstring text;
    } cases[] = {
        {"a button without a tip", at(Input::Move, plain), false, L""},
        {"a button with a tip", at(Input::Move, tipped), true, L"Add"},
        {"the icon of a text-icon button", onIcon, true, L"Settings"},
        {"the zoom gauge", at(Input::Move, gauge), true, L"レイヤー表示の拡大率を変更"},
    };
    for (const auto& c : cases) {
        Window::ToolTips::hide();
        driver.run({c.place, {Input::Hover, c.place.x, c.place.y}});
        EXPECT_EQ(c.shown, Window::ToolTips::shown) << c.what;
        if (c.shown) EXPECT_EQ(c.text, Window::ToolTips::text) << c.what;
    }
    Window::ToolTips::hide();
}

TEST_F(Buttons, AButtonGoneBeforeItsDrawingIsNotDrawn) {
    auto button = std::make_unique<CountedButton>(container, 10, 10, 80, 24, 0);
    button->invalidate();
    button.reset();
    EXPECT_EQ(0u, Window::PaintQueue::size());
}

}  // namespace
