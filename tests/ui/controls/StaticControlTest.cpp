// The supporting controls panels are built from: the layout box that places
// its children in a fractional part of its rectangle, the filled rectangle
// its owner draws into, the static text and the title strip. None of the
// static ones takes input: a press over them reaches what lies below.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "ui/controls/ControlFixture.h"
#include "ui/controls/ExtraColours.h"
#include "ui/controls/LayoutControl.h"
#include "ui/controls/RectControl.h"
#include "ui/controls/TextControl.h"
#include "ui/controls/TitleHeaderControl.h"
#include "ui/framework/StyleMetrics.h"

namespace {

using Control::LayoutControl;
using Control::RectControl;
using Control::TextControl;
using Control::TitleHeaderControl;
using TestSupport::Input;

auto edges(const Window::MouseRect& r) { return std::make_tuple(r.x, r.y, r.x + r.w, r.y + r.h); }

// Logs the presses it gets.
class Pad : public Window::WindowControl {
public:
    Pad(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h)
        : WindowControl(container, x, y, w, h) {}
    Pad(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h) : WindowControl(parent, x, y, w, h) {}
    void procPaint() override {}
    void procLButtonDown(int32_t, int32_t) override { ++presses; }
    int presses = 0;
};

class StaticControls : public ControlWindow {
protected:
    void SetUp() override {
        ControlWindow::SetUp();
        stopServices();
        addStyleColours(install() / "style.conf", "TitleHeader=283848\n");
        startServices();
        container.updateChildLayout();
    }
};

TEST_F(StaticControls, ALayoutBoxTakesItsFractionOfTheRectangleAndItsChildrenLayOutInside) {
    const struct {
        int32_t x, y, w, h;
        float left, top, right, bottom;
        std::tuple<int32_t, int32_t, int32_t, int32_t> want;  // left, top, right, bottom in the panel
    } cases[] = {
        {0, 0, 101, 50, 0.5f, 0, 1, 1, {20 + 50, 40, 20 + 101, 40 + 50}},
        {0, 0, 101, 50, 0, 0, 1, 1, {20, 40, 121, 90}},
        {10, 10, 100, 100, 0.25f, 0.5f, 0.75f, 1, {30 + 25, 50 + 50, 30 + 75, 50 + 100}},
        {10, 10, 3, 3, 0.5f, 0.5f, 0.9f, 0.9f, {31, 51, 32, 52}},  // truncated, never rounded up
        {0, 0, 0, 0, 0, 0, 0.5f, 0.5f, {20, 40, 20 + 300, 40 + 200}},  // the whole panel, halved
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " " << c.w << "x" << c.h << " " << c.left << ","
                                        << c.top << "," << c.right << "," << c.bottom);
        LayoutControl box(container, c.x, c.y, c.w, c.h);
        box.fractionLeft = c.left, box.fractionTop = c.top, box.fractionRight = c.right, box.fractionBottom = c.bottom;
        Pad child(box, 0, 0, 0, 0);
        container.updateChildLayout();
        EXPECT_EQ(edges(box.fullRect), c.want);
        EXPECT_EQ(edges(child.fullRect), c.want) << "a child filling the box";
    }
}

TEST_F(StaticControls, StaticControlsLetPressesThroughToWhatLiesBelow) {
    Pad below(container, 0, 0, 200, 100);
    LayoutControl box(container, 0, 0, 200, 100);
    TextControl text(container, 0, 0, 200, 30, L"text", TextControl::LeftMiddle);
    TitleHeaderControl title(container, L"タイトル");
    Pad inside(box, 150, 50, 50, 50);
    container.updateChildLayout();
    ASSERT_EQ(Window::TitleHeaderHeight + 2, title.fullRect.h);
    ASSERT_EQ(panel.w, title.fullRect.w) << "the title spans the top edge";
    driver.run({{Input::Press, 30, 50}, {Input::Release, 30, 50}});
    EXPECT_EQ(1, below.presses) << "through the text, the title and the layout box";
    driver.run({{Input::Press, 20 + 160, 40 + 60}, {Input::Release, 20 + 160, 40 + 60}});
    EXPECT_EQ(1, inside.presses) << "a child of the layout box takes input";
    EXPECT_EQ(1, below.presses);
}

TEST_F(StaticControls, TheTextSitsByItsAlignmentAndIsCutWithTheEllipsisSign) {
    const struct {
        int32_t alignment;
        bool framed;
        const wchar_t* text;
        int32_t width;
        bool trimmed;
    } cases[] = {
        {TextControl::LeftMiddle, false, L"short", 200, false},
        {TextControl::Centred, false, L"short", 200, false},
        {TextControl::LeftEllipsis, false, L"a text far wider than the control that shows it", 80, true},
        {TextControl::LeftEllipsis, true, L"short", 200, false},
        {TextControl::TopLeft, true, L"short", 200, false},
        {7, false, L"short", 200, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.alignment << (c.framed ? " framed" : ""));
        TextControl text(container, 10, 10, c.width, 40, c.text, c.alignment);
        if (c.framed) text.frameBrush = Window::StyleBrushList::Border;
        text.backgroundBrush = Window::StyleBrushList::Grouping;
        container.updateChildLayout();
        text.invalidate();
        ASSERT_TRUE(TestSupport::RouterDriver::drawQueued());
        ASSERT_GT(text.drawnWidth, 0);
        int32_t x = 0, y = 0;
        TextControl::placeText(c.alignment, c.width, 40, text.drawnWidth, text.drawnHeight, c.framed ? 2 : 0, x, y);
        EXPECT_EQ(x, text.drawnX);
        EXPECT_EQ(y, text.drawnY);
        const int32_t pad = c.framed ? 2 : 0;
        switch (c.alignment) {
        case TextControl::Centred: EXPECT_EQ((c.width - text.drawnWidth) / 2, x); break;
        case TextControl::LeftMiddle:
        case TextControl::LeftEllipsis:
            EXPECT_EQ(pad, x);
            EXPECT_EQ(pad + (40 - text.drawnHeight) / 2, y);
            break;
        default: EXPECT_EQ(std::make_pair(pad, pad), std::make_pair(x, y)); break;
        }
        EXPECT_EQ(c.trimmed, text.drawnTrimmed);
    }
}

TEST_F(StaticControls, TheTitleDrawsItsSubTextNinePixelsAfterTheTitle) {
    TitleHeaderControl title(container, L"タイトル");
    container.updateChildLayout();
    title.invalidate();
    ASSERT_TRUE(TestSupport::RouterDriver::drawQueued());
    EXPECT_GT(title.drawnTitleWidth, 0);
    EXPECT_EQ(-1, title.drawnSubTextX) << "no sub-text";
    title.subText = L"sub";
    title.invalidate();
    ASSERT_TRUE(TestSupport::RouterDriver::drawQueued());
    EXPECT_EQ(title.drawnTitleWidth + 9, title.drawnSubTextX);
}

TEST_F(StaticControls, ARectFillsItselfAndLetsItsOwnerDrawInTheSameScope) {
    RectControl rect(container, 10, 10, 50, 30);
    container.updateChildLayout();
    std::vector<std::pair<int32_t, int32_t>> origins;
    rect.brush = Window::StyleBrushList::Grouping;
    rect.paintAction = [&](RectControl& r) { origins.emplace_back(r.originX, r.originY); };
    rect.invalidate();
    ASSERT_TRUE(TestSupport::RouterDriver::drawQueued());
    ASSERT_EQ(1u, origins.size());
    EXPECT_EQ(std::make_pair(rect.fullRect.x, rect.fullRect.y), origins[0]) << "the owner draws from the top-left";
    rect.paintAction = nullptr;
    rect.brush.reset();
    rect.invalidate();
    EXPECT_TRUE(TestSupport::RouterDriver::drawQueued()) << "neither brush nor action";
}

}  // namespace
