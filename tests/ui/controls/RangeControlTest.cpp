// The scroll bar, track bar and zoom gauge: the numbers they keep (span,
// thumb, knob, bars), and the values they ask their owners for when driven
// through the input router (arrows, track clicks, thumb and knob drags,
// presses and wheel on the gauge). The owners here apply what is asked, as
// real owners do, and log it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/controls/ControlFixture.h"
#include "ui/controls/EditScrollBarControl.h"
#include "ui/controls/ScrollBarControl.h"
#include "ui/controls/TrackBarControl.h"
#include "ui/controls/ZoomGaugeControl.h"

namespace {

using Control::ScrollBarControl;
using Control::TrackBarControl;
using Control::ZoomGaugeControl;
using TestSupport::Input;
using TestSupport::RouterStep;

class RangeControls : public ControlWindow {};

// A vertical bar 20 wide and 240 long: arrows of 20, a 200-pixel track.
class ScrollBars : public RangeControls {
protected:
    void SetUp() override {
        RangeControls::SetUp();
        bar = std::make_unique<ScrollBarControl>(container, 100, 0, 20);
        panel.h = 240;
        container.updateChildLayout();
        bar->scrollAction = [this](ScrollBarControl& b, int32_t first) {
            asked.push_back(first);
            b.setPosition(first, first + (b.last - b.first));
        };
    }
    void TearDown() override {
        bar.reset();
        RangeControls::TearDown();
    }
    void show(int32_t minimum, int32_t maximum, int32_t first, int32_t last) {
        bar->minimum = minimum, bar->maximum = maximum;
        bar->setPosition(first, last);
        asked.clear();
    }
    int32_t x() const { return bar->fullRect.x + 10; }
    int32_t y(int32_t along) const { return bar->fullRect.y + along; }

    std::unique_ptr<ScrollBarControl> bar;
    std::vector<int32_t> asked;
};

TEST_F(ScrollBars, SetPositionClampsTheSpanAndPlacesTheThumb) {
    ASSERT_EQ(20, bar->arrowLength);
    ASSERT_EQ(200, bar->trackLength);
    const struct {
        int32_t minimum, maximum, first, last;
        int32_t wantFirst, wantLast;
        float startFraction, endFraction, thumbStart, thumbEnd;
    } cases[] = {
        {0, 100, -5, 3, 0, 3, 0.0f, 4.0f / 101, -3.0f, 200.0f * 4 / 101 + 3},
        {0, 100, 200, 300, 100, 100, 100.0f / 101, 1.0f, 200.0f * 100 / 101 - 3, 203.0f},
        {0, 99, 0, 9, 0, 9, 0.0f, 0.1f, -3.0f, 23.0f},
        {0, 0, 0, 0, 0, 0, 0.0f, 1.0f, -3.0f, 203.0f},
    };
    for (const auto& c : cases) {
        show(c.minimum, c.maximum, c.first, c.last);
        EXPECT_EQ(c.wantFirst, bar->first) << c.first << ".." << c.last;
        EXPECT_EQ(c.wantLast, bar->last) << c.first << ".." << c.last;
        EXPECT_FLOAT_EQ(c.startFraction, bar->thumbStartFraction) << c.first << ".." << c.last;
        EXPECT_FLOAT_EQ(c.endFraction, bar->thumbEndFraction) << c.first << ".." << c.last;
        EXPECT_NEAR(c.thumbStart, bar->thumbStart, 1e-3) << c.first << ".." << c.last;
        EXPECT_NEAR(c.thumbEnd, bar->thumbEnd, 1e-3) << c.first << ".." << c.last;
    }
    EXPECT_TRUE(asked.empty()) << "setting the position is not a request";
}

TEST_F(ScrollBars, ShortBarsSqueezeTheirArrowsAndTheRatioCentresTheSpan) {
    const struct {
        int32_t length, arrow, track;
    } cases[] = {{30, 12, 6}, {10, 2, 6}, {4, 0, 4}, {240, 20, 200}};
    for (const auto& c : cases) {
        panel.h = c.length;
        container.updateChildLayout();
        EXPECT_EQ(c.arrow, bar->arrowLength) << c.length;
        EXPECT_EQ(c.track, bar->trackLength) << c.length;
        EXPECT_EQ(c.arrow, bar->secondArrow.fullRect.h * (c.arrow > 0 ? 1 : 0)) << c.length;
    }
    show(0, 99, 0, 10);
    bar->setPositionRatio(0.5f);
    EXPECT_EQ(45, bar->first);
    EXPECT_EQ(55, bar->last);
    bar->setPositionRatio(1.0f);
    EXPECT_EQ(89, bar->first) << "the span stays inside the range";
}

TEST_F(ScrollBars, ArrowsTrackClicksWheelAndThumbDragsAskForTheFirstUnit) {
    const struct {
        const char* what;
        int32_t first, last;
        std::vector<RouterStep> steps;
        std::vector<int32_t> asked;
    } cases[] = {
        {"first arrow", 50, 59, {{Input::Press, 10, 10}, {Input::Release, 10, 10}}, {49}},
        {"second arrow", 50, 59, {{Input::Press, 10, 230}, {Input::Release, 10, 230}}, {51}},
        {"arrow at the start of the range", 0, 9, {{Input::Press, 10, 10}, {Input::Release, 10, 10}}, {}},
        {"track above the thumb", 500, 599, {{Input::Press, 10, 25}, {Input::Release, 10, 25}}, {401}},
        {"track below the thumb", 100, 199, {{Input::Press, 10, 215}, {Input::Release, 10, 215}}, {199}},
        {"wheel up and down", 50, 59, {{Input::Move, 10, 120}, {Input::Wheel, 10, 120, 120},
                                       {Input::Wheel, 10, 120, -120}}, {49, 50}},
        // The thumb of [0, 99] on a 200-pixel track of [0, 1000] lies at 17..40.
        {"thumb dragged 50 pixels", 0, 99,
         {{Input::Press, 10, 40}, {Input::Move, 10, 70}, {Input::Move, 10, 90}, {Input::Release, 10, 90}},
         {150, 250}},
        {"thumb dragged back past the start", 100, 199,
         {{Input::Press, 10, 60}, {Input::Move, 10, 0}, {Input::Move, 10, -100}, {Input::Release, 10, -100}},
         {0}},
    };
    for (const auto& c : cases) {
        show(0, 1000, c.first, c.last);
        std::vector<RouterStep> steps = c.steps;
        for (RouterStep& s : steps) s.x += bar->fullRect.x, s.y += bar->fullRect.y;
        driver.run(steps);
        EXPECT_EQ(c.asked, asked) << c.what;
        EXPECT_FALSE(bar->thumb.dragging) << c.what;
    }
}

TEST_F(ScrollBars, AHorizontalBarRunsAlongXAndTheEditorsBarIsAScrollBar) {
    Control::EditScrollBarControl across(*bar, 0, 0, 0, 16);
    EXPECT_FALSE(across.vertical);
    ScrollBarControl upright(*bar, 0, 0, 16, 0);
    EXPECT_TRUE(upright.vertical);
}

class TrackBars : public RangeControls {
protected:
    void SetUp() override {
        RangeControls::SetUp();
        // 32 high: margin 4, knob size 4.8, bar length 410 - 10 = 400.
        bar = std::make_unique<TrackBarControl>(container, 10, 10, 410, 32);
        container.updateChildLayout();
        bar->changeAction = [this](TrackBarControl& b, int32_t p) {
            asked.push_back(p);
            b.setPosition(p);
        };
    }
    void TearDown() override {
        bar.reset();
        RangeControls::TearDown();
    }
    int32_t x(float along) const { return bar->fullRect.x + static_cast<int32_t>(along); }
    int32_t y() const { return bar->fullRect.y + 16; }

    std::unique_ptr<TrackBarControl> bar;
    std::vector<int32_t> asked;
};

TEST_F(TrackBars, TheLayoutFollowsTheHeightAndTheLengthClampsEverything) {
    EXPECT_FLOAT_EQ(4.0f, bar->margin);
    EXPECT_FLOAT_EQ(4.8f, bar->knobSize);
    EXPECT_EQ(400, bar->barLength);
    bar->setLength(100);
    bar->setPosition(150);
    EXPECT_EQ(100, bar->position);
    bar->setRange(-5, 40);
    bar->setSelectRange(30, 200);
    EXPECT_EQ(0, bar->rangeStart);
    EXPECT_EQ(40, bar->rangeEnd);
    EXPECT_EQ(100, bar->selectEnd);
    bar->setLength(50);
    EXPECT_EQ(50, bar->position);
    EXPECT_EQ(30, bar->selectStart);
    EXPECT_EQ(50, bar->selectEnd);
    bar->setLength(-20);
    EXPECT_EQ(-20, bar->minimum);
    EXPECT_EQ(0, bar->maximum);
    EXPECT_EQ(0, bar->position);
    EXPECT_TRUE(asked.empty());
}

TEST_F(TrackBars, AGroovePressJumpsAndGoesOnAsAKnobDrag) {
    bar->setLength(100);
    const struct {
        const char* what;
        int32_t start;
        std::vector<RouterStep> steps;
        std::vector<int32_t> asked;
    } cases[] = {
        {"press at the groove's start when already there", 0, {{Input::Press, 4, 0}, {Input::Release, 4, 0}}, {}},
        {"press at the groove's start", 30, {{Input::Press, 4, 0}, {Input::Release, 4, 0}}, {0}},
        {"press in the middle, then drag 80 pixels", 0,
         {{Input::Press, 205, 0}, {Input::Move, 245, 0}, {Input::Move, 285, 0}, {Input::Release, 285, 0}},
         {50, 60, 70}},
        {"knob dragged past the end", 90,
         {{Input::Press, 365, 0}, {Input::Move, 500, 0}, {Input::Move, 600, 0}, {Input::Release, 600, 0}}, {100}},
    };
    for (const auto& c : cases) {
        bar->setPosition(c.start);
        asked.clear();
        std::vector<RouterStep> steps = c.steps;
        for (RouterStep& s : steps) s.x = x(float(s.x)), s.y = y();
        driver.run(steps);
        EXPECT_EQ(c.asked, asked) << c.what;
        EXPECT_FALSE(bar->knob.dragging) << c.what;
    }
}

class ZoomGauges : public RangeControls {
protected:
    void make(int32_t width) {
        gauge = std::make_unique<ZoomGaugeControl>(container, 10, 10, width, 20);
        gauge->acceptWheel = true;
        gauge->changeAction = [this](ZoomGaugeControl& g, Edit::FrameZoom z) {
            asked.push_back(z.value);
            g.setZoom(z);
        };
    }
    void TearDown() override {
        gauge.reset();
        RangeControls::TearDown();
    }
    std::unique_ptr<ZoomGaugeControl> gauge;
    std::vector<int32_t> asked;
};

TEST_F(ZoomGauges, BarsSpreadOverTheWidth) {
    const struct {
        int32_t width, step, offset;
    } cases[] = {{260, 10, 0}, {20, 1, -3}, {270, 10, 5}, {51, 1, 12}};
    for (const auto& c : cases) {
        make(c.width);
        EXPECT_EQ(26, gauge->barCount) << c.width;
        EXPECT_EQ(c.step, gauge->barStep) << c.width;
        EXPECT_EQ(c.offset, gauge->barOffset) << c.width;
    }
    EXPECT_EQ(19, gauge->litCount) << "the default zoom's place in the table";
}

TEST_F(ZoomGauges, PressesDragsAndTheWheelAskForTableLevels) {
    make(260);
    const int32_t left = gauge->fullRect.x, y = gauge->fullRect.y + 10;
    const struct {
        const char* what;
        int32_t start;
        std::vector<RouterStep> steps;
        std::vector<int32_t> asked;
    } cases[] = {
        {"press on the first bar", 10000, {{Input::Press, left + 3, y}, {Input::Release, left + 3, y}}, {30}},
        {"press on the last bar", 20, {{Input::Press, left + 255, y}, {Input::Release, left + 255, y}}, {100000}},
        {"press and drag to the right", 20,
         {{Input::Press, left + 3, y}, {Input::Move, left + 25, y}, {Input::Move, left + 45, y},
          {Input::Release, left + 45, y}, {Input::Move, left + 200, y}},
         {30, 50, 100}},
        {"wheel up and down", 1000, {{Input::Move, left + 100, y}, {Input::Wheel, left + 100, y, 120},
                                     {Input::Wheel, left + 100, y, -120}, {Input::Wheel, left + 100, y, -120}},
         {1500, 1000, 750}},
        {"wheel at the top of the table", 100000, {{Input::Wheel, left + 100, y, 120}}, {}},
        {"wheel at the bottom of the table", 20, {{Input::Wheel, left + 100, y, -120}}, {}},
    };
    for (const auto& c : cases) {
        gauge->setZoom(Edit::FrameZoom(c.start));
        asked.clear();
        driver.run(c.steps);
        EXPECT_EQ(c.asked, asked) << c.what;
    }
}

TEST_F(ZoomGauges, LeftOfTheBarsAPressAsksForTheSecondLevelAndADragAWholeStepFurtherForTheFirst) {
    make(270);  // bars from x = 5
    gauge->setZoom(Edit::FrameZoom(10000));
    const int32_t left = gauge->fullRect.x, y = gauge->fullRect.y + 10;
    driver.run({{Input::Press, left + 1, y}, {Input::Move, left - 4, y}, {Input::Move, left - 5, y},
                {Input::Release, left - 5, y}});
    EXPECT_EQ((std::vector<int32_t>{30, 20}), asked);
}

}  // namespace
