// The scrolling list of rows: rows stack at their own heights, the scroll bar
// shows only while they do not fit (narrowing them), every scroll request is
// clamped, and the wheel, the bar and a right-button drag scroll it when
// driven through the input router. Movable rows trade places.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/window/Message.h"
#include "ui/controls/TextButtonControl.h"
#include "ui/controls/ControlFixture.h"
#include "ui/controls/ListItemControl.h"
#include "ui/framework/StyleMetrics.h"

namespace {

using Control::ListItemBase;
using Control::ListItemControl;
using TestSupport::Input;
using TestSupport::RouterStep;

// A row as the scene and object lists make them: a button that is a list item.
class Row : public Control::TextButtonControl, public ListItemBase {
public:
    Row(ListItemControl& list, int32_t height, int32_t order, bool movable)
        : TextButtonControl(list.rowContainer, 0, 0, 0, height, Centred), ListItemBase(list, *this), order_(order),
          movable_(movable) {
        clickAction = [this](Control::ButtonControl&) { ++clicks; };
    }
    int32_t order() const override { return order_; }
    void setOrder(int32_t value) override { order_ = value; }
    bool isMovable() const override { return movable_; }
    int clicks = 0;

private:
    int32_t order_;
    bool movable_;
};

class Lists : public ControlWindow {
protected:
    // A list filling the panel below y = 10, `view` pixels high.
    void make(int32_t view, const std::vector<int32_t>& heights, const std::vector<bool>& movable = {}) {
        rows.clear();
        list.reset();
        panel.h = view + 10;
        list = std::make_unique<ListItemControl>(container, 10);
        for (size_t i = 0; i < heights.size(); ++i) {
            auto row = std::make_unique<Row>(*list, heights[i], static_cast<int32_t>(i),
                                             i < movable.size() && movable[i]);
            rows.push_back(row.get());
            list->items.push_back(std::move(row));
        }
        list->layoutItems();
        container.updateChildLayout();
    }
    void resize(int32_t view) {
        panel.h = view + 10;
        container.updateChildLayout();
    }
    void TearDown() override {
        rows.clear();
        list.reset();
        ControlWindow::TearDown();
    }
    // Row tops relative to the list.
    std::vector<int32_t> tops() const {
        std::vector<int32_t> result;
        for (const auto& item : list->items) result.push_back(item->control->fullRect.y - list->fullRect.y);
        return result;
    }
    void rightButton(uint32_t message, int32_t x, int32_t y) {
        Window::WindowMouseService* router = Window::WindowMouseService::get();
        router->dispatch(router->window, message, message == Platform::window::kWmRButtonDown ? 2 : 0,
                         Platform::window::makeLParam(x, y));
    }
    // A point inside the list at (dx, dy) from its top-left.
    int32_t x(int32_t dx) const { return list->fullRect.x + dx; }
    int32_t y(int32_t dy) const { return list->fullRect.y + dy; }

    std::unique_ptr<ListItemControl> list;
    std::vector<Row*> rows;
};

TEST_F(Lists, RowsStackAtTheirHeightsAndTheBarShowsOnlyWhileTheyDoNotFit) {
    const int32_t s = Window::ScrollBarSize;
    const struct {
        const char* what;
        int32_t view;
        std::vector<int32_t> heights;
        std::vector<int32_t> tops;
        int32_t content;
        bool bar;
        int32_t wheelStep;
    } cases[] = {
        {"three rows in a short view", 60, {20, 30, 25}, {0, 20, 50}, 75, true, 50},
        {"three rows that fit", 80, {20, 30, 25}, {0, 20, 50}, 75, false, 0},
        {"rows filling the view exactly", 75, {20, 30, 25}, {0, 20, 50}, 75, false, 0},
        {"no rows", 60, {}, {}, 0, false, 0},
        {"one tall row", 60, {200}, {0}, 200, true, 400},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        make(c.view, c.heights);
        EXPECT_EQ(c.content, list->contentHeight);
        EXPECT_EQ(c.tops, tops());
        EXPECT_EQ(c.bar, list->scrollBar.visible);
        for (Row* row : rows) EXPECT_EQ(c.bar ? panel.w - s : panel.w, row->fullRect.w) << "narrowed by the bar";
        if (c.bar) {
            EXPECT_EQ(c.wheelStep, list->scrollBar.wheelStep);
            EXPECT_EQ(list->fullRect.x + list->fullRect.w - s, list->scrollBar.fullRect.x);
        }
    }
    // The view grows past the rows: the bar goes, the rows reach the right edge again.
    make(60, {20, 30, 25});
    ASSERT_TRUE(list->scrollBar.visible);
    resize(80);
    EXPECT_FALSE(list->scrollBar.visible);
    for (Row* row : rows) EXPECT_EQ(panel.w, row->fullRect.w);
    resize(60);
    EXPECT_TRUE(list->scrollBar.visible);
}

TEST_F(Lists, ScrollRequestsAreClampedToTheRows) {
    const struct {
        int32_t view;
        std::vector<int32_t> heights;
        int32_t request, offset;
    } cases[] = {
        {60, {20, 30, 25}, 100, 15}, {60, {20, 30, 25}, -5, 0}, {60, {20, 30, 25}, 7, 7},
        {80, {20, 30, 25}, 10, 0},   {60, {}, 10, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.view << " " << c.request);
        make(c.view, c.heights);
        list->setScrollOffset(c.request);
        EXPECT_EQ(c.offset, list->scrollBar.first);
        EXPECT_EQ(c.offset, list->rowContainer.offsetY);
    }
    // A shorter content after a resize keeps the offset inside.
    make(60, {20, 30, 25});
    list->setScrollOffset(15);
    resize(70);
    EXPECT_EQ(5, list->scrollBar.first);
}

TEST_F(Lists, TheWheelTheBarAndARightButtonDragScrollTheList) {
    const struct {
        const char* what;
        int32_t start;
        std::vector<RouterStep> steps;
        bool rightDrag;
        int32_t offset;
    } cases[] = {
        {"wheel down over a row", 0, {{Input::Move, 10, 10}, {Input::Wheel, 10, 10, -120}}, false, 15},
        {"wheel up over a row", 15, {{Input::Move, 10, 10}, {Input::Wheel, 10, 10, 120}}, false, 0},
        {"the bar's lower arrow", 0, {{Input::Press, -10, 55}, {Input::Release, -10, 55}}, false, 15},
        {"right-button drag 10 pixels down", 15, {}, true, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        make(60, {20, 30, 25});
        list->setScrollOffset(c.start);
        list->rowContainer.updateChildLayout();
        std::vector<RouterStep> steps = c.steps;
        for (RouterStep& s : steps) s.x = s.x < 0 ? x(list->fullRect.w + s.x) : x(s.x), s.y = y(s.y);
        driver.run(steps);
        if (c.rightDrag) {
            namespace W = Platform::window;
            rightButton(W::kWmRButtonDown, x(30), y(30));
            driver.send({Input::Move, x(30), y(35)});
            driver.send({Input::Move, x(30), y(40)});
            rightButton(W::kWmRButtonUp, x(30), y(40));
            EXPECT_FALSE(list->dragging);
        }
        EXPECT_EQ(c.offset, list->scrollBar.first);
        EXPECT_EQ(list->fullRect.y - c.offset, rows[0]->fullRect.y) << "the rows moved with the offset";
    }
}

TEST_F(Lists, AScrolledRowTakesThePressWhereItNowLies) {
    make(60, {20, 30, 25});
    list->setScrollOffset(15);
    list->rowContainer.updateChildLayout();
    // Row 2 (25 high) now lies at 35..60 of the list.
    driver.run({{Input::Press, x(30), y(40)}, {Input::Release, x(30), y(40)}});
    EXPECT_EQ(0, rows[1]->clicks);
    EXPECT_EQ(1, rows[2]->clicks);
    EXPECT_EQ(2, list->findItem(rows[2]));
    EXPECT_EQ(-1, list->findItem(nullptr));
}

TEST_F(Lists, OnlyTwoMovableRowsTradePlaces) {
    make(100, {20, 30, 25}, {true, true, false});
    rows[0]->swapOrder(*rows[2]);
    EXPECT_EQ((std::vector<int32_t>{0, 20, 50}), tops()) << "an immovable row stays";
    EXPECT_EQ(0, rows[0]->order());
    rows[0]->swapOrder(*rows[1]);
    EXPECT_EQ(1, rows[0]->order());
    EXPECT_EQ(0, rows[1]->order());
    EXPECT_EQ(0, list->findItem(rows[1])) << "sorted again by order";
    EXPECT_EQ(1, list->findItem(rows[0]));
    EXPECT_EQ((std::vector<int32_t>{0, 30, 50}), tops());
    EXPECT_EQ(list->fullRect.y + 30, rows[0]->fullRect.y);
}

}  // namespace
