// One of each control on a panel of the main window, driven with xdotool on
// a screen of its own: a repeat button held for a second repeats at the
// keyboard's rate, the scroll thumb and the track-bar knob dragged move their
// values, the zoom gauge follows the wheel; the panel's picture matches the
// reference, and a language rebuild of the window keeps every value.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "core/ServiceHolder.h"
#include "core/TextConvert.h"
#include "core/TranslateService.h"
#include "media/image/ImageBuffer.h"
#include "media/image/ImageService.h"
#include "platform/window/TopLevel.h"
#include "support/PumpMessages.h"
#include "ui/controls/BitmapButtonControl.h"
#include "ui/controls/CheckBitmapButtonControl.h"
#include "ui/controls/CheckButtonControl.h"
#include "ui/controls/CheckTextButtonControl.h"
#include "ui/controls/ControlContainer.h"
#include "ui/controls/ScreenFixture.h"
#include "ui/controls/IconButtonControl.h"
#include "ui/controls/RepeatClickButtonControl.h"
#include "ui/controls/ScrollBarControl.h"
#include "ui/controls/TextButtonControl.h"
#include "ui/controls/TextButtonWheelControl.h"
#include "ui/controls/TextIconButtonControl.h"
#include "ui/controls/TrackBarControl.h"
#include "ui/controls/ZoomGaugeControl.h"
#include "ui/framework/WindowClientRenderTarget.h"

namespace {

namespace W = Platform::window;
using namespace Control;

// The row the text-icon button is laid out in.
class Strip : public Window::WindowControl {
public:
    using WindowControl::WindowControl;
    void procPaint() override {}
};

// A panel holding one control of each kind, whose owners apply what the
// controls ask for and count it.
class ControlPanel : public Window::WindowClientRenderTarget {
public:
    ControlPanel()
        : WindowClientRenderTarget(&title_, "controls", {0, 0, 1, 1, 0, true}),
          container(priority, &clientRect, &clientRect),
          icon(container, 10, 10, 24, 24, GlyphPlus, true),
          repeat(container, 40, 10, 24, 24, GlyphTriangleUp),
          bitmap(container, 70, 10, 24, 24, Window::StyleBitmapList::Lock),
          text(container, 100, 10, 100, 24, TextButtonControl::Centred),
          wheel(container, 210, 10, 100, 24, TextButtonControl::DropDown),
          row(container, 320, 10, 140, 24),
          textIcon(row, 140, L"icon"),
          check(container, 10, 50, 24, 24),
          checkBitmap(container, 40, 50, 24, 24, Window::StyleBitmapList::CameraOn, Window::StyleBitmapList::CameraOff),
          checkText(container, 70, 50, 80, 24, L"check"),
          scroll(container, 10, 90, 300, 20),
          track(container, 10, 130, 300, 32),
          gauge(container, 10, 180, 260, 20) {
        text.setText(L"text");
        wheel.setText(L"wheel");
        textIcon.setIcon(Window::StyleBitmapList::Setting);
        repeat.framed = true;
        repeat.clickAction = [this](ButtonControl&) { ++repeats; };
        wheel.wheelAction = [this](TextButtonWheelControl&, int32_t delta) { wheelSteps += delta > 0 ? 1 : -1; };
        check.setCheckAction([](CheckButtonControl&) {});
        checkText.setCheckAction([](CheckButtonControl&) {});
        scroll.minimum = 0, scroll.maximum = 999;
        scroll.setPosition(0, 99);
        scroll.scrollAction = [](ScrollBarControl& bar, int32_t first) {
            bar.setPosition(first, first + 99);
            bar.invalidate();
        };
        track.setLength(100);
        track.setRange(20, 60);
        track.setSelectRange(30, 40);
        track.changeAction = [](TrackBarControl& bar, int32_t p) { bar.setPosition(p); };
        gauge.acceptWheel = true;
        gauge.changeAction = [](ZoomGaugeControl& g, Edit::FrameZoom z) { g.setZoom(z); };
    }
    void procMove() override { container.updateChildLayout(); }
    void procPaint() override {
        if (target == nullptr) return;
        const DrawScope scope(*this, clientRect.x, clientRect.y, clientRect.x + clientRect.w,
                              clientRect.y + clientRect.h, true);
        fillRectangle(0, 0, clientRect.w, clientRect.h, Window::WindowService::get()->brushes.get(
                                                            Window::StyleBrushList::Background));
        for (size_t i = 0; i < container.children.size(); ++i) container.children[i]->procPaint();
    }

    std::wstring title_ = L"controls";
    Window::ControlContainer container;
    IconButtonControl icon;
    RepeatClickButtonControl repeat;
    BitmapButtonControl bitmap;
    TextButtonControl text;
    TextButtonWheelControl wheel;
    Strip row;
    TextIconButtonControl textIcon;
    CheckButtonControl check;
    CheckBitmapButtonControl checkBitmap;
    CheckTextButtonControl checkText;
    ScrollBarControl scroll;
    TrackBarControl track;
    ZoomGaugeControl gauge;
    int repeats = 0;
    int wheelSteps = 0;
};

class ControlScreen : public ScreenWindow {
protected:
    void SetUp() override {
        ScreenWindow::SetUp();
        if (IsSkipped()) return;
        stopServices();
        writeFile(appData() / "velmo2.ini", "[Window]\r\nx=300\r\ny=200\r\nw=640\r\nh=400\r\nzoom=0\r\n");
        startServices();
        panel_ = std::make_unique<ControlPanel>();
        service->updateLayout();
        W::showWindow(service->window, W::kSwShow);
        TestSupport::pumpUntil([&] { return panel_->clientRect.w > 0 && Window::PaintQueue::size() == 0; },
                               "the panel laid out");
    }
    void TearDown() override {
        panel_.reset();
        ControlWindow::TearDown();
    }
    // The screen point of the control's centre moved by (dx, dy).
    std::string at(const Window::MouseRect& r, int32_t dx = 0, int32_t dy = 0) {
        return screen(r.x + r.w / 2 + dx, r.y + r.h / 2 + dy);
    }
    void expectLooksLikeReference(const char* name) {
        TestSupport::RouterDriver::drawQueued();
        xdotool("mousemove " + at(panel_->clientRect, 200, 180));
        expectRectLooksLike(name, panel_->clientRect.x, panel_->clientRect.y, 480, 210);
    }

    std::unique_ptr<ControlPanel> panel_;
};

TEST_F(ControlScreen, EachControlAnswersThePointerAndTheValuesOutliveALanguageRebuild) {
    ControlPanel& p = *panel_;
    expectLooksLikeReference("controls-at-rest");

    // A repeat button held for a second: the press, then a click after the
    // delay and one per interval. The count is compared loosely.
    const uint32_t delay = RepeatClickButtonControl::repeatDelay(), interval = RepeatClickButtonControl::repeatInterval();
    xdotool("mousemove " + at(p.repeat.fullRect));
    ASSERT_TRUE(TestSupport::pumpUntil([&] { return p.repeat.hovered; }, "the pointer on the repeat button"));
    xdotool("mousedown 1");
    ASSERT_TRUE(TestSupport::pumpUntil([&] { return p.repeats >= 1; }, "the press"));
    const auto pressed = std::chrono::steady_clock::now();
    runFor(std::chrono::milliseconds(1000));
    xdotool("mouseup 1");
    ASSERT_TRUE(TestSupport::pumpUntil([&] { return !p.repeat.dragging; }, "the release"));
    const auto held = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - pressed);
    const int expected = 1 + (held.count() >= delay ? 1 + int((held.count() - delay) / interval) : 0);
    EXPECT_GE(p.repeats, 2) << "held " << held.count() << " ms, delay " << delay << ", interval " << interval;
    EXPECT_LE(p.repeats, expected + 1) << "held " << held.count() << " ms, delay " << delay << ", interval " << interval;
    EXPECT_GE(p.repeats, expected / 2) << "held " << held.count() << " ms, delay " << delay << ", interval " << interval;
    const int afterRelease = p.repeats;
    runFor(std::chrono::milliseconds(3 * interval));
    EXPECT_EQ(afterRelease, p.repeats) << "no repeat after the release";

    // The scroll thumb dragged 60 pixels along a 260-pixel track of [0, 999].
    ASSERT_EQ(260, p.scroll.trackLength);
    xdotool("mousemove " + at(p.scroll.thumbRect) + " mousedown 1 mousemove_relative 20 0 mousemove_relative 40 0");
    ASSERT_TRUE(TestSupport::pumpUntil([&] { return p.scroll.first == 999 * 60 / 260; }, "the thumb moved 60 pixels"));
    xdotool("mouseup 1");

    // The track-bar knob dragged 100 pixels along a 290-pixel groove of [0, 100].
    xdotool("mousemove " + at(p.track.knobRect) + " mousedown 1 mousemove_relative 50 0 mousemove_relative 50 0");
    ASSERT_TRUE(TestSupport::pumpUntil([&] { return p.track.position == 100 * 100 / p.track.barLength; },
                                       "the knob moved 100 pixels"));
    xdotool("mouseup 1");

    // The gauge follows the wheel: two steps up, one down.
    const int32_t level = Edit::FrameZoom::levelIndex(p.gauge.zoom.value);
    xdotool("mousemove " + at(p.gauge.fullRect) + " click 4");
    ASSERT_TRUE(TestSupport::pumpUntil([&] { return p.gauge.litCount == level + 1; }, "one level up"));
    xdotool("click 4");
    ASSERT_TRUE(TestSupport::pumpUntil([&] { return p.gauge.litCount == level + 2; }, "two levels up"));
    xdotool("click 5");
    ASSERT_TRUE(TestSupport::pumpUntil([&] { return p.gauge.litCount == level + 1; }, "back one level"));

    // Both check buttons turned on by a click.
    xdotool("mousemove " + at(p.check.fullRect) + " click 1 mousemove " + at(p.checkText.fullRect) + " click 1");
    ASSERT_TRUE(TestSupport::pumpUntil([&] { return p.check.checkState && p.checkText.checkState; }, "checks on"));
    expectLooksLikeReference("controls-moved");

    // The language rebuild makes the menus again and draws the window: the controls keep what they show.
    const int32_t position = p.track.position, first = p.scroll.first, zoom = p.gauge.zoom.value;
    {
        System::ServiceHolder<Translate::TranslateService> translation;
        Translate::TranslateService::get()->updateLanguage();
    }
    EXPECT_TRUE(p.check.checkState);
    EXPECT_TRUE(p.checkText.checkState);
    EXPECT_EQ(position, p.track.position);
    EXPECT_EQ(first, p.scroll.first);
    EXPECT_EQ(zoom, p.gauge.zoom.value);
    expectLooksLikeReference("controls-moved");
}

}  // namespace
