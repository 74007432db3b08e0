// The controls base: the layout rule against a reference rectangle, the
// clipping that decides where a control takes input, and the container that
// lays its controls out again when its owner moves or scrolls.
#include "ui/controls/WindowControl.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "core/ServiceHolder.h"
#include "ui/controls/ControlContainer.h"
#include "ui/framework/WindowMouseService.h"

namespace Window {
bool operator==(const MouseRect& a, const MouseRect& b) { return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h; }
std::ostream& operator<<(std::ostream& out, const MouseRect& r) {
    return out << "(" << r.x << ", " << r.y << ", " << r.w << ", " << r.h << ")";
}
}  // namespace Window

namespace {

using Window::ControlContainer;
using Window::MouseRect;
using Window::WindowControl;

class Probe : public WindowControl {
public:
    Probe(ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h,
          std::vector<std::string>* log = nullptr, std::string name = {})
        : WindowControl(container, x, y, w, h), log_(log), name_(std::move(name)) {}
    Probe(WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h, std::vector<std::string>* log = nullptr,
          std::string name = {})
        : WindowControl(parent, x, y, w, h), log_(log), name_(std::move(name)) {}
    void procPaint() override {}
    void procMove() override {
        if (log_ != nullptr) log_->push_back(name_ + " " + std::to_string(fullRect.y));
    }

private:
    std::vector<std::string>* log_;
    std::string name_;
};

class Controls : public testing::Test {
protected:
    System::ServiceHolder<Window::WindowMouseService> router_;
    Window::WindowMouseService& router = *Window::WindowMouseService::get();
    // What a press at the point would reach.
    Window::WindowMouse* target(int32_t x, int32_t y) {
        Window::WindowMouse* found = router.findTarget(x, y);
        Window::WindowMouseService::routingBusy = false;
        return found;
    }
};

TEST_F(Controls, TheLayoutRuleCountsNegativeNumbersFromTheFarEdges) {
    const struct {
        MouseRect reference;
        int32_t x, y, w, h;
        MouseRect full;
    } cases[] = {
        {{0, 0, 300, 50}, 10, 4, 100, 20, {10, 4, 100, 20}},
        {{0, 0, 300, 50}, -100, 4, 0, 20, {200, 4, 100, 20}},  // from the right edge to it
        {{0, 0, 300, 50}, 10, 0, -10, 0, {10, 0, 280, 50}},    // to the far edges less their magnitude
        {{0, 0, 300, 50}, 0, -20, 50, 0, {0, 30, 50, 20}},     // from the bottom edge
        {{0, 0, 300, 50}, 250, 0, -100, 10, {250, 0, 0, 10}},  // too narrow: no width, never a negative one
        {{0, 0, 300, 50}, 10, 60, 20, -30, {10, 60, 20, 0}},
        {{100, 200, 300, 50}, -100, -10, 0, 0, {300, 240, 100, 10}},  // relative to where the reference lies
    };
    const MouseRect clip{-1000, -1000, 4000, 4000};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.reference << " " << c.x << "," << c.y << "," << c.w << "," << c.h);
        ControlContainer container(0, &clip, &c.reference);
        container.updateChildLayout();
        Probe control(container, c.x, c.y, c.w, c.h);
        EXPECT_EQ(control.fullRect, c.full);
        EXPECT_EQ(control.visibleRect, c.full);
        EXPECT_EQ(control.priority, 1);
    }
}

TEST_F(Controls, AControlTakesInputOnlyWhereItIsVisibleInsideItsClip) {
    const MouseRect panel{0, 0, 300, 100};
    const MouseRect content{0, 0, 300, 500};
    ControlContainer container(100, &panel, &content);
    container.updateChildLayout();
    std::vector<std::string> log;
    Probe list(container, 0, 60, 0, 80, &log, "list");
    Probe item(list, 10, 10, 50, 20, &log, "item");  // clipped to the list's visible part
    EXPECT_EQ(item.priority, 102);
    EXPECT_EQ(item.visibleRect, (MouseRect{10, 70, 50, 20}));
    EXPECT_EQ(list.visibleRect, (MouseRect{0, 60, 300, 40}));
    EXPECT_EQ(target(20, 75), &item);

    // Scrolled by 40: the list starts at 20, the item at 30.
    container.offsetY = 40;
    container.updateChildLayout();
    EXPECT_EQ(log, (std::vector<std::string>{"list 20", "item 30"}));
    EXPECT_EQ(item.visibleRect, (MouseRect{10, 30, 50, 20}));
    // Scrolled so far that the item lies above the panel: nothing of it can be hit.
    container.offsetY = 120;
    container.updateChildLayout();
    EXPECT_EQ(item.fullRect, (MouseRect{10, -50, 50, 20}));
    EXPECT_EQ(item.visibleRect.h, 0);
    EXPECT_EQ(target(20, 0), &list);
    // Partly above it: the visible part starts at the clip's edge.
    container.offsetY = 75;
    container.updateChildLayout();
    EXPECT_EQ(item.visibleRect, (MouseRect{10, 0, 50, 15}));
}

TEST_F(Controls, DestroyingAControlTakesEveryEntryOfItFromItsContainer) {
    const MouseRect area{0, 0, 100, 100};
    ControlContainer container(0, &area, &area);
    Probe first(container, 0, 0, 10, 10);
    {
        Probe twice(container, 0, 0, 10, 10);
        container.children.push_back(&twice);
        Probe last(container, 0, 0, 10, 10);
        ASSERT_EQ(container.children.size(), 4u);
        std::erase(container.children, &last);
    }
    EXPECT_EQ(container.children, (std::vector<WindowControl*>{&first}));
    EXPECT_EQ(router.mice.size(), 1u);
}

}  // namespace
