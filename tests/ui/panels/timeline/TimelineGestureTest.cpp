// The timeline's mouse gestures through the input router, on the real main
// window: where a press lands in frames and layers at several zooms, moving
// objects with collisions, snapping and the drag threshold, trimming, the
// rubber band, the header column, the ruler, the wheel and the scroll range,
// each object gesture one undo step.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/ServiceHolder.h"
#include "edit/EditDialogs.h"
#include "edit/EditService.h"
#include "edit/Layer.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "effect/EffectBase.h"
#include "platform/window/KeyMap.h"
#include "platform/window/Menu.h"
#include "platform/window/TopLevel.h"
#include "support/PumpMessages.h"
#include "support/ScriptedDialogs.h"
#include "ui/framework/DockFixture.h"
#include "ui/framework/ToolTips.h"
#include "ui/panels/EditComponent.h"
#include "ui/panels/EditLayerObjectControl.h"
#include "ui/panels/timeline/EditLayerHeaderControl.h"
#include "ui/panels/timeline/SceneButtonControl.h"
#include "ui/panels/timeline/TimeGaugeControl.h"

namespace {

namespace W = Platform::window;

class KindEffect : public Effect::EffectBase {
public:
    KindEffect() {
        name = L"kind";
        role = kInput;
        media = kVideo;
    }
    std::shared_ptr<Effect::EffectBase> createInstance() const override { return std::make_shared<KindEffect>(); }
};

// A modifier key held down as the window layer sees it, until the end of the scope.
class Held {
public:
    explicit Held(uint32_t vk) : vk_(vk) { note(true); }
    ~Held() { note(false); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

private:
    void note(bool down) {
        W::KeyMap::noteEvent(vk_, down);
        W::Message m;
        m.message = down ? W::kWmKeyDown : W::kWmKeyUp;
        m.wParam = vk_;
        W::KeyMap::noteRetrieved(m);
        if (!down)
            if (Window::WindowMouseService* router = Window::WindowMouseService::get())
                router->dispatch(router->window, W::kWmKeyUp, vk_, 0);
    }
    uint32_t vk_;
};

// Where an object lies.
struct Place {
    int32_t layer, start, end;
    bool operator==(const Place&) const = default;
};

class TimelineGestures : public DockWindow {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs a display";
        DockWindow::SetUp();
        stopServices();
        std::ifstream style("style.conf");
        ASSERT_TRUE(style) << "the program's style.conf next to the test";
        std::stringstream text;
        text << style.rdbuf();
        writeFile(install() / "style.conf", text.str());
        // The style's pictures (the padlock of a locked layer).
        std::filesystem::copy("icons", install() / "icons", std::filesystem::copy_options::recursive);
        writeFile(appData() / "velmo2.ini",
                  "[Window]\r\nx=60\r\ny=60\r\nw=900\r\nh=500\r\nzoom=0\r\n"
                  "[Window.edit]\r\nleft=0\r\ntop=0\r\nright=1\r\nbottom=1\r\narea=4\r\nhide=0\r\n");
        startServices();
        Edit::EditService::setDialogs(dialogs);
        undo.emplace();
        edit.emplace();
        panel = std::make_unique<Component::EditComponent>();
        service->updateLayout();
        W::showWindow(service->window, W::kSwShow);
    }
    void TearDown() override {
        if (!edit) return DockWindow::TearDown();
        panel.reset();
        edit.reset();
        undo.reset();
        Edit::EditService::setDialogs(nullptr);
        DockWindow::TearDown();
    }

    Edit::Scene& scene() { return *edit->get()->currentScene(); }
    // Takes every object off the scene.
    void resetScene() {
        scene().selection.clear();
        scene().focusObject.reset();
        for (const auto& slot : scene().layers) {
            for (const auto& o : slot->objects) o->layer = -1;
            slot->objects.clear();
            slot->controlRanges.clear();
        }
        scene().update();
    }
    Edit::EditService& editService() { return *edit->get(); }
    std::shared_ptr<Edit::Object> add(int32_t layer, int32_t start, int32_t end) {
        auto object = scene().createObject(layer, start, end);
        object->effects.push_back(std::make_shared<KindEffect>());
        return object;
    }
    // Puts the scene in order and shows it at the zoom from the left frame and top layer.
    void show(int32_t zoom, int32_t left = 0, int32_t top = 0) {
        scene().update();
        scene().displayZoom = Edit::FrameZoom(zoom);
        scene().displayFrame = left;
        scene().displayLayer = top;
        panel->showScene(edit->get()->currentScene());
        ASSERT_EQ(panel->view.zoom, zoom);
        ASSERT_EQ(panel->view.displayFrame, left);
    }

    // Client pixels of an object area point.
    int32_t ax(int32_t x) const { return panel->objectArea->fullRect.x + x; }
    int32_t ay(int32_t y) const { return panel->objectArea->fullRect.y + y; }
    int32_t rowHeight() const { return panel->view.metrics.layerHeight; }
    // The middle of a row's bar, in area pixels.
    int32_t rowY(int32_t row) const { return row * rowHeight() + rowHeight() / 2 + 3; }

    // One router message at a client point; the clock moves by `ms`.
    void send(uint32_t message, int32_t x, int32_t y, uint64_t ms = 1000, uintptr_t wParam = 0) {
        Window::WindowMouseService* router = Window::WindowMouseService::get();
        clock_ += ms;
        router->hooks.clock = [this] { return clock_; };
        router->dispatch(router->window, message, wParam, W::makeLParam(x, y));
    }
    void move(int32_t x, int32_t y, uint64_t ms = 1000) { send(W::kWmMouseMove, x, y, ms, held_); }
    void press(int32_t x, int32_t y) {
        move(x, y);
        held_ = W::kMkLButton;
        send(W::kWmLButtonDown, x, y, 1000, held_);
    }
    void release(int32_t x, int32_t y) {
        held_ = 0;
        send(W::kWmLButtonUp, x, y, 1000);
    }
    // Press, a move to the middle, a move to the end and the release, in area pixels.
    void dragArea(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
        press(ax(x0), ay(y0));
        move(ax((x0 + x1) / 2), ay((y0 + y1) / 2));
        move(ax(x1), ay(y1));
        release(ax(x1), ay(y1));
    }
    void wheel(int32_t x, int32_t y, int32_t delta) {
        W::Point p{x, y};
        W::clientToScreen(service->window, p);
        const auto wParam = static_cast<uintptr_t>(static_cast<uint16_t>(delta)) << 16;
        Window::WindowMouseService* router = Window::WindowMouseService::get();
        clock_ += 1000;
        router->dispatch(router->window, W::kWmMouseWheel, wParam, W::makeLParam(p.x, p.y));
    }
    static Place placeOf(const Edit::Object& o) { return {o.layer, o.start, o.end}; }

    std::shared_ptr<Edit::HeadlessDialogs> dialogs = std::make_shared<Edit::HeadlessDialogs>();
    std::optional<System::ServiceHolder<Undo::UndoService>> undo;
    std::optional<System::ServiceHolder<Edit::EditService>> edit;
    std::unique_ptr<Component::EditComponent> panel;
    uint64_t clock_ = 0;
    uintptr_t held_ = 0;
};

std::ostream& operator<<(std::ostream& out, const Place& p) {
    return out << "layer " << p.layer << " frames " << p.start << ".." << p.end;
}

TEST_F(TimelineGestures, APressSeeksToTheFrameUnderItAtEachZoom) {
    add(0, 0, 3999);  // long enough for every cursor below
    struct Case {
        int32_t zoom, left, x;
        int32_t frame;
    };
    // zoom in ten-thousandths of a pixel per frame; the press lands on row 3, which is empty.
    const Case cases[] = {
        {10000, 0, 0, 0},   {10000, 0, 123, 123},  {10000, 37, 123, 160}, {100000, 0, 9, 0},
        {100000, 0, 10, 1}, {100000, 20, 125, 32}, {30000, 0, 91, 30},    {30000, 0, 89, 29},
        {750, 0, 3, 40},    {750, 0, 1, 13},       {20, 0, 1, 500},       {20, 0, 2, 1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "zoom " << c.zoom << " left " << c.left << " x " << c.x);
        show(c.zoom, c.left);
        dragArea(c.x, rowY(3), c.x, rowY(3));
        EXPECT_EQ(scene().cursorFrame, c.frame);
    }
}

TEST_F(TimelineGestures, APressOnARowPicksTheLayerUnderItWhenScrolled) {
    for (int32_t layer = 0; layer < 40; ++layer) add(layer, 10, 19);
    struct Case {
        int32_t top, row;
    };
    for (const Case c : {Case{0, 0}, Case{0, 2}, Case{5, 0}, Case{5, 3}, Case{17, 1}}) {
        SCOPED_TRACE(testing::Message() << "top " << c.top << " row " << c.row);
        show(50000, 0, c.top);
        ASSERT_EQ(panel->view.displayLayer, c.top);
        // Frames 10..19 lie at x 50..100: the press holds the selection until its release.
        press(ax(75), ay(rowY(c.row)));
        ASSERT_EQ(scene().selection.objects.size(), 1u);
        EXPECT_EQ(scene().selection.objects.front()->layer, c.top + c.row);
        release(ax(75), ay(rowY(c.row)));
        EXPECT_TRUE(scene().selection.objects.empty()) << "a click without a drag keeps no selection";
    }
}

TEST_F(TimelineGestures, MovingGivesWayToOtherObjectsAndTheSceneStart) {
    struct Step {
        int32_t dx, rows;  // from the press: pixels at 10 pixels a frame, and rows
    };
    struct Case {
        const char* what;
        std::vector<Step> steps;
        Place expected;
    };
    // The moved object: layer 1, frames 20..29 (x 200..300). Obstacles: layer 1 at 50..59, layer 2 at 22..40.
    const Case cases[] = {
        {"right by 12 frames", {{60, 0}, {120, 0}}, {1, 32, 41}},
        {"right into the obstacle stops touching it", {{300, 0}}, {1, 40, 49}},
        {"on to the right in small steps stays there", {{300, 0}, {310, 0}, {320, 0}, {330, 0}}, {1, 40, 49}},
        {"left stops at frame 0", {{-200, 0}, {-400, 0}}, {1, 0, 9}},
        {"down onto an occupied layer stays", {{0, 1}}, {1, 20, 29}},
        {"down two layers, where layer 3 is free", {{0, 2}}, {3, 20, 29}},
        {"up one layer", {{0, -1}}, {0, 20, 29}},
        {"down and right where the lower layer is occupied keeps the layer", {{200, 1}}, {1, 40, 49}},
        {"down and right past the lower obstacle", {{300, 1}}, {2, 50, 59}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        resetScene();
        auto moved = add(1, 20, 29);
        add(1, 50, 59);
        add(2, 22, 40);
        editService().settings().layerObjectMoveSnap = 0;
        show(100000);
        const int32_t y0 = rowY(1);
        press(ax(250), ay(y0));
        for (const Step& step : c.steps) move(ax(250 + step.dx), ay(y0 + step.rows * rowHeight()));
        release(ax(250 + c.steps.back().dx), ay(y0 + c.steps.back().rows * rowHeight()));
        EXPECT_EQ(placeOf(*moved), c.expected);
    }
}

TEST_F(TimelineGestures, ShiftLocksTheMoveToTheLongerWayAndArrowKeysStepIt) {
    struct Case {
        const char* what;
        int32_t dx, rows;
        Place expected;
    };
    // 10 pixels a frame; a row counts its height in pixels (more than 20, less than 50).
    const Case cases[] = {
        {"50 pixels across beat one row down", 50, 1, {1, 25, 34}},
        {"one row down beats 20 pixels across", 20, 1, {2, 20, 29}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        resetScene();
        auto moved = add(1, 20, 29);
        editService().settings().layerObjectMoveSnap = 0;
        show(100000);
        ASSERT_GT(rowHeight(), 20);
        ASSERT_LT(rowHeight(), 50);
        Held shift(W::kVkShift);
        press(ax(250), ay(rowY(1)));
        move(ax(250 + c.dx), ay(rowY(1) + c.rows * rowHeight()));
        release(ax(250 + c.dx), ay(rowY(1) + c.rows * rowHeight()));
        EXPECT_EQ(placeOf(*moved), c.expected);
    }

    // During a drag, Right and Left move the selection a frame each.
    resetScene();
    auto moved = add(1, 20, 29);
    show(100000);
    press(ax(250), ay(rowY(1)));
    Window::WindowMouseService* router = Window::WindowMouseService::get();
    for (const uint32_t key : {W::kVkRight, W::kVkRight, W::kVkRight, W::kVkLeft})
        router->dispatch(router->window, W::kWmKeyDown, key, 0);
    release(ax(250), ay(rowY(1)));
    EXPECT_EQ(placeOf(*moved), (Place{1, 22, 31}));
    ASSERT_TRUE(undo->get()->undo());
    EXPECT_EQ(placeOf(*moved), (Place{1, 20, 29})) << "the keys' steps are one undo step with the drag";
}

TEST_F(TimelineGestures, AGroupOnTwoLayersStopsWhereTheLowerLayerMeetsItsObstacle) {
    auto upper = add(0, 10, 19);
    auto lower = add(1, 10, 14);
    add(1, 30, 39);
    editService().settings().layerObjectMoveSnap = 0;
    show(100000);
    {
        Held ctrl(W::kVkControl);
        // A band from the left of both objects over both rows selects them.
        dragArea(20, rowY(0), 170, rowY(1));
        ASSERT_EQ(scene().selection.objects.size(), 2u);
        // Twenty frames right meets the obstacle; the steps after it stay.
        press(ax(150), ay(rowY(0)));
        for (const int32_t x : {350, 360, 370, 380}) move(ax(x), ay(rowY(0)));
        release(ax(380), ay(rowY(0)));
    }
    EXPECT_EQ(placeOf(*lower), (Place{1, 25, 29})) << "end + 1 meets the obstacle's start";
    EXPECT_EQ(placeOf(*upper), (Place{0, 25, 34}));
    EXPECT_TRUE(scene().selection.objects.empty()) << "releasing Ctrl clears the band's selection";
    // The whole move is one undo step.
    ASSERT_TRUE(undo->get()->undo());
    EXPECT_EQ(placeOf(*lower), (Place{1, 10, 14}));
    EXPECT_EQ(placeOf(*upper), (Place{0, 10, 19}));
    EXPECT_FALSE(undo->get()->canUndo());
}

TEST_F(TimelineGestures, SnapTakesTheNearestTargetWithinEightPixels) {
    struct Case {
        const char* what;
        int32_t dx;  // pixels at 2 pixels a frame: the snap range is 80000 / 20000 + 1 = 5 frames
        bool snap;
        int32_t cursor;
        int32_t start;
        bool grid = false;
    };
    // The moved object: layer 1, frames 20..29; the other: layer 0, frames 60..69 (end + 1 = 70).
    // The grid: 120 beats a minute at 30 frames a second, a beat every 15 frames (30 pixels).
    const Case cases[] = {
        {"start 4 frames before the other's end snaps onto it", 92, true, 0, 70},
        {"start 4 frames past it snaps back", 108, true, 0, 70},
        {"end + 1 near the other's start snaps", 56, true, 0, 50},
        {"5 frames away is out of range", 110, true, 0, 75},
        {"snapping off", 92, false, 0, 66},
        {"the cursor is a target", 24, true, 35, 35},
        {"a beat of the grid is a target", 46, true, 0, 45, true},
        {"without the grid the beat is not", 46, true, 0, 43, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        resetScene();
        auto moved = add(1, 20, 29);
        add(0, 60, 69);
        add(3, 0, 200);  // keeps the scene long
        editService().settings().layerObjectMoveSnap = c.snap ? 1 : 0;
        panel->tempoGrid = c.grid ? 1 : 0;
        panel->tempoBeatPerMinute = 120;
        panel->tempoBeatTime = 4;
        panel->tempoOffsetTime = 0;
        scene().cursorFrame = c.cursor;
        show(20000);
        dragArea(50, rowY(1), 50 + c.dx, rowY(1));
        EXPECT_EQ(moved->start, c.start);
        EXPECT_EQ(moved->end - moved->start, 9);
    }
}

TEST_F(TimelineGestures, ADragStartsOnlyPastTheThresholdOrAfterTheDoubleClickTime) {
    auto object = add(0, 20, 29);
    editService().settings().layerObjectMoveSnap = 0;
    show(100000);
    struct Case {
        const char* what;
        int32_t dx;
        uint64_t ms;  // between the press and the move
        bool drag;
        int32_t start;
    };
    Setting::SettingService::System& system = Setting::SettingService::get()->system;
    system.dragWidth = system.dragHeight = 6;
    system.doubleClickTime = 500;
    const Case cases[] = {
        {"5 pixels at once: still a click", 5, 10, false, 20},
        {"6 pixels: a drag", 6, 10, true, 20},  // 6 pixels at 10 a frame is no whole frame yet
        {"20 pixels: two frames", 20, 10, true, 22},
        {"4 pixels after the double-click time", 4, 600, true, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        object->start = 20;
        object->end = 29;
        press(ax(250), ay(rowY(0)));
        move(ax(250 + c.dx), ay(rowY(0)), c.ms);
        const bool started = Window::WindowMouseService::get()->dragStarted;
        release(ax(250 + c.dx), ay(rowY(0)));
        EXPECT_EQ(started, c.drag);
        EXPECT_EQ(object->start, c.start);
    }
}

TEST_F(TimelineGestures, TrimmingKeepsTheSectionsAndIsOneUndoStep) {
    auto object = add(0, 20, 39);
    object->midpoints = {10};  // absolute 30
    add(0, 50, 59);
    editService().settings().layerObjectMoveSnap = 0;
    show(100000);
    struct Case {
        const char* what;
        int32_t x0, dx;
        int32_t start, end, midpoint;  // midpoint as an absolute frame
    };
    // Edges: start at x 200, end + 1 at x 400, midpoint at x 300.
    const Case cases[] = {
        {"end out by 5", 398, 50, 20, 44, 30},
        {"end into the next object stops before it", 398, 500, 20, 49, 30},
        {"end cannot pass the midpoint", 398, -300, 20, 31, 30},
        {"start in by 3 keeps the midpoint's frame", 202, 30, 23, 39, 30},
        {"start cannot pass the midpoint", 202, 300, 29, 39, 30},
        {"start back to the scene start", 202, -600, 0, 39, 30},
        {"midpoint moved by 4", 301, 40, 20, 39, 34},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        object->start = 20;
        object->end = 39;
        object->midpoints = {10};
        scene().update();
        panel->refresh(-1);
        dragArea(c.x0, rowY(0), c.x0 + c.dx, rowY(0));
        EXPECT_EQ(object->start, c.start);
        EXPECT_EQ(object->end, c.end);
        ASSERT_EQ(object->midpoints.size(), 1u);
        EXPECT_EQ(object->start + object->midpoints[0], c.midpoint);
        ASSERT_TRUE(undo->get()->undo());
        EXPECT_EQ(placeOf(*object), (Place{0, 20, 39}));
        EXPECT_EQ(object->midpoints[0], 10);
    }
}

TEST_F(TimelineGestures, TheHeaderHidesALayerAndMovesItAsOneStep) {
    auto object = add(2, 10, 19);
    show(100000);
    Component::EditLayerHeaderControl& header = *panel->headerColumn;
    const int32_t hx = header.fullRect.x + 10;
    const int32_t hy = header.fullRect.y + 2 * rowHeight() + rowHeight() / 2;
    press(hx, hy);
    release(hx, hy);
    EXPECT_TRUE(scene().getLayer(2).layer->hide);
    ASSERT_TRUE(undo->get()->undo());
    EXPECT_FALSE(scene().getLayer(2).layer->hide);

    // Dragged three rows down: the layer and its object move, one undo step brings them back.
    press(hx, hy);
    move(hx, hy + rowHeight());
    move(hx, hy + 3 * rowHeight());
    release(hx, hy + 3 * rowHeight());
    EXPECT_EQ(object->layer, 5);
    EXPECT_FALSE(scene().getLayer(5).layer->hide) << "a click that became a drag does not hide";
    ASSERT_TRUE(undo->get()->undo());
    EXPECT_EQ(object->layer, 2);
}

TEST_F(TimelineGestures, TheRulerSeeksAndShiftSelectsARange) {
    add(0, 0, 299);
    show(100000);
    Component::TimeGaugeControl& ruler = *panel->ruler;
    const int32_t y = ruler.fullRect.y + ruler.fullRect.h / 2;
    press(ax(55), y);
    move(ax(125), y);
    release(ax(125), y);
    EXPECT_EQ(scene().cursorFrame, 12);
    {
        Held shift(W::kVkShift);
        press(ax(305), y);
        release(ax(305), y);
    }
    EXPECT_EQ(scene().cursorFrame, 30);
    EXPECT_EQ(scene().selectedStart, 12);
    EXPECT_EQ(scene().selectedEnd, 30);
}

TEST_F(TimelineGestures, TheWheelScrollsAndZoomsWithinTheTable) {
    add(0, 0, 99999);
    show(100000);
    const int32_t x = ax(100), y = ay(rowY(0));
    wheel(x, y, -120);
    EXPECT_EQ(panel->view.displayFrame, 10) << "100 pixels at 10 pixels a frame";
    {
        Held ctrl(W::kVkControl);
        wheel(x, y, 120);
        EXPECT_EQ(panel->view.zoom, 100000) << "the largest step stays";
        wheel(x, y, -120);
        EXPECT_EQ(panel->view.zoom, 75000);
        EXPECT_EQ(panel->view.frameAt(100), 20) << "the frame under the pointer stays there";
    }
    show(20);
    {
        Held ctrl(W::kVkControl);
        wheel(x, y, -120);
        EXPECT_EQ(panel->view.zoom, 20) << "the smallest step stays";
    }
}

TEST_F(TimelineGestures, EveryLayerOfTheSceneIsReachedByScrolling) {
    auto deep = add(80, 10, 19);
    show(100000);
    const int32_t rows = panel->view.visibleRows;
    ASSERT_GT(rows, 2);
    ASSERT_LT(rows, 80);
    EXPECT_GE(panel->view.layerRange, 80 + 1);
    // The wheel over the headers scrolls a layer a notch.
    Component::EditLayerHeaderControl& header = *panel->headerColumn;
    for (int32_t i = 0; i < 200; ++i) wheel(header.fullRect.x + 5, header.fullRect.y + 5, -120);
    EXPECT_EQ(panel->view.displayLayer, panel->view.layerRange - rows);
    const int32_t row = 80 - panel->view.displayLayer;
    ASSERT_GE(row, 0);
    ASSERT_LT(row, rows);
    press(ax(150), ay(rowY(row)));
    ASSERT_EQ(scene().selection.objects.size(), 1u);
    EXPECT_EQ(scene().selection.objects.front(), deep);
    release(ax(150), ay(rowY(row)));
}

}  // namespace

// The context menus of the header column, the ruler and the scene button,
// answered by the menu hook: the labelled item is chosen, and what the menu
// showed of it is kept.
class TimelineMenus : public TimelineGestures {
protected:
    void TearDown() override {
        W::setMenuAnswerHook({});
        TimelineGestures::TearDown();
    }
    struct Shown {
        bool found = false, enabled = false, checked = false;
        std::vector<std::string> labels;
    };
    // Opens the context menu at a client point and chooses the item (none for an empty label).
    Shown choose(int32_t x, int32_t y, const std::string& label) {
        Shown shown;
        W::setMenuAnswerHook([&](W::MenuHandle menu, const W::Point&) -> uint32_t {
            uint32_t chosen = 0;
            for (int32_t i = 0; i < W::getMenuItemCount(menu); ++i) {
                std::string text;
                W::getMenuStringAt(menu, i, text);
                shown.labels.push_back(text);
                const int32_t id = W::getMenuItemId(menu, i);
                if (text != label || id <= 0) continue;
                shown.found = true;
                shown.enabled = W::isMenuItemEnabled(menu, uint32_t(id));
                shown.checked = W::isMenuItemChecked(menu, uint32_t(id));
                if (shown.enabled) chosen = uint32_t(id);
            }
            return chosen;
        });
        W::Point p{x, y};
        W::clientToScreen(service->window, p);
        move(x, y);
        Window::WindowMouseService* router = Window::WindowMouseService::get();
        router->dispatch(router->window, W::kWmContextMenu, 0, W::makeLParam(p.x, p.y));
        W::setMenuAnswerHook({});
        return shown;
    }
    // The client point of a layer's header (the view at the top).
    int32_t headerX() const { return panel->headerColumn->fullRect.x + 10; }
    int32_t headerY(int32_t layer) const {
        return panel->headerColumn->fullRect.y + layer * rowHeight() + rowHeight() / 2;
    }
    std::vector<int32_t> hiddenLayers() {
        std::vector<int32_t> hidden;
        for (int32_t i = 0; i < scene().layerCount(); ++i)
            if (scene().getLayer(i).layer->hide) hidden.push_back(i);
        return hidden;
    }
};

TEST_F(TimelineMenus, SoloHidesTheOthersAndThenShowsAll) {
    add(5, 0, 9);
    show(100000);
    const Shown first = choose(headerX(), headerY(3), "他のレイヤーを表示/非表示");
    ASSERT_TRUE(first.found);
    const std::vector<int32_t> hidden = hiddenLayers();
    EXPECT_EQ(std::count(hidden.begin(), hidden.end(), 3), 0);
    EXPECT_EQ(int32_t(hidden.size()), scene().layerCount() - 1);
    choose(headerX(), headerY(3), "他のレイヤーを表示/非表示");
    EXPECT_TRUE(hiddenLayers().empty()) << "with some hidden, solo shows every layer";
    // The lock item is checked once the layer is locked.
    choose(headerX(), headerY(2), "レイヤーをロック");
    EXPECT_TRUE(choose(headerX(), headerY(2), "").labels.size() > 6);
    EXPECT_TRUE(scene().getLayer(2).layer->lock);
    EXPECT_TRUE(choose(headerX(), headerY(2), "レイヤーをロック").checked);
    EXPECT_FALSE(scene().getLayer(2).layer->lock);
}

TEST_F(TimelineMenus, InsertingAndDeletingLayersShiftsTheLayersBelow) {
    std::vector<std::shared_ptr<Edit::Object>> objects;
    for (int32_t layer = 0; layer <= 7; ++layer) objects.push_back(add(layer, 10 * layer, 10 * layer + 5));
    show(100000);
    choose(headerX(), headerY(2), "レイヤーを挿入");
    for (int32_t layer = 0; layer <= 7; ++layer)
        EXPECT_EQ(objects[size_t(layer)]->layer, layer < 2 ? layer : layer + 1);
    EXPECT_TRUE(scene().getLayer(2).objects.empty());
    ASSERT_TRUE(undo->get()->undo());
    for (int32_t layer = 0; layer <= 7; ++layer) EXPECT_EQ(objects[size_t(layer)]->layer, layer);

    choose(headerX(), headerY(3), "レイヤーを削除");
    EXPECT_EQ(objects[3]->layer, -1);
    EXPECT_EQ(objects[4]->layer, 3);
    EXPECT_EQ(objects[7]->layer, 6);
    ASSERT_TRUE(undo->get()->undo());
    ASSERT_EQ(scene().getLayer(3).objects.size(), 1u);
    EXPECT_EQ(scene().getLayer(3).objects.front()->start, 30) << "undo brings the layer and its object back";
    EXPECT_EQ(scene().getLayer(7).objects.front()->start, 70);
}

TEST_F(TimelineMenus, ObjectsOnALockedLayerStayWhereTheyAre) {
    auto object = add(1, 20, 29);
    editService().settings().layerObjectMoveSnap = 0;
    show(100000);
    choose(headerX(), headerY(1), "レイヤーをロック");
    ASSERT_TRUE(scene().getLayer(1).layer->lock);
    dragArea(250, rowY(1), 450, rowY(1));
    EXPECT_EQ(placeOf(*object), (Place{1, 20, 29}));
    dragArea(298, rowY(1), 350, rowY(1));  // at the end edge: still the body
    EXPECT_EQ(placeOf(*object), (Place{1, 20, 29}));
}

TEST_F(TimelineMenus, TheRulerClearsTheRangeOnlyWhenThereIsOne) {
    add(0, 0, 99);
    show(100000);
    const int32_t x = panel->ruler->fullRect.x + 50, y = panel->ruler->fullRect.y + 5;
    const Shown none = choose(x, y, "フレーム範囲選択を解除");
    ASSERT_TRUE(none.found);
    EXPECT_FALSE(none.enabled);
    panel->setSelectFrameRange(10, 20);
    const Shown some = choose(x, y, "フレーム範囲選択を解除");
    EXPECT_TRUE(some.enabled);
    EXPECT_EQ(scene().selectedStart, -1);
    EXPECT_EQ(scene().selectedEnd, -1);
}

TEST_F(TimelineMenus, TheOptionsToggleTheirSettings) {
    show(100000);
    const int32_t x = ax(300), y = ay(rowY(0));
    editService().settings().layerObjectMoveSnap = 1;
    // The options sit in a submenu: the hook sees the top menu first, so the toggle is chosen by its id there.
    W::setMenuAnswerHook([](W::MenuHandle menu, const W::Point&) -> uint32_t {
        for (int32_t i = 0; i < W::getMenuItemCount(menu); ++i)
            if (W::MenuHandle sub = W::getSubMenu(menu, i))
                for (int32_t j = 0; j < W::getMenuItemCount(sub); ++j) {
                    std::string text;
                    W::getMenuStringAt(sub, j, text);
                    if (text == "オブジェクトのスナップ(レイヤー)") return uint32_t(W::getMenuItemId(sub, j));
                }
        return 0;
    });
    W::Point p{x, y};
    W::clientToScreen(service->window, p);
    Window::WindowMouseService* router = Window::WindowMouseService::get();
    router->dispatch(router->window, W::kWmContextMenu, 0, W::makeLParam(p.x, p.y));
    EXPECT_EQ(editService().settings().layerObjectMoveSnap, 0);
    const Shown grid = choose(x, y, "グリッド(BPM)の表示");
    EXPECT_FALSE(grid.checked);
    EXPECT_EQ(panel->tempoGrid, 1);

    // The BPM settings entry asks in its dialog and keeps what OK gives.
    ScriptedDialogs dialogs;
    dialogs.answers.push_back([](W::DialogWindow& d) {
        d.setText(ScriptedDialogs::field(d, "テンポ"), "90");
        d.setText(ScriptedDialogs::field(d, "拍子"), "3");
        d.press(6);
    });
    W::setMenuAnswerHook([](W::MenuHandle menu, const W::Point&) -> uint32_t {
        for (int32_t i = 0; i < W::getMenuItemCount(menu); ++i)
            if (W::MenuHandle sub = W::getSubMenu(menu, i))
                for (int32_t j = 0; j < W::getMenuItemCount(sub); ++j) {
                    std::string text;
                    W::getMenuStringAt(sub, j, text);
                    if (text == "グリッド(BPM)の設定") return uint32_t(W::getMenuItemId(sub, j));
                }
        return 0;
    });
    router->dispatch(router->window, W::kWmContextMenu, 0, W::makeLParam(p.x, p.y));
    W::setMenuAnswerHook({});
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].caption, "グリッド(BPM)の設定");
    EXPECT_EQ(panel->tempoBeatPerMinute, 90.0f);
    EXPECT_EQ(panel->tempoBeatTime, 3);
}

// The object area's menu: a right-click on an object selects it first and
// offers the selection's commands; on empty space with Ctrl held the
// selection submenu adds every object of the unlocked layers.
TEST_F(TimelineMenus, TheObjectMenuActsOnTheClickedObjectOrTheSelectionSubmenu) {
    auto a = add(0, 0, 9);
    auto b = add(1, 20, 29);
    auto c = add(2, 40, 49);
    show(100000);
    const Shown onObject = choose(ax(50), ay(rowY(0)), "");
    auto listed = [&](const char* label) {
        return std::find(onObject.labels.begin(), onObject.labels.end(), label) != onObject.labels.end();
    };
    EXPECT_TRUE(listed("切り取り"));
    EXPECT_TRUE(listed("エイリアスを作成"));
    EXPECT_FALSE(listed("オブジェクトを追加"));
    EXPECT_TRUE(a->selected) << "the clicked object is selected before the menu shows";
    scene().selection.clear();
    scene().getLayer(2).layer->lock = true;

    // The submenu's items are chosen by their id, found below the top menu.
    auto pickInSubmenu = [&](const std::string& label, bool& enabled) {
        W::setMenuAnswerHook([&](W::MenuHandle menu, const W::Point&) -> uint32_t {
            for (int32_t i = 0; i < W::getMenuItemCount(menu); ++i)
                if (W::MenuHandle sub = W::getSubMenu(menu, i))
                    for (int32_t j = 0; j < W::getMenuItemCount(sub); ++j) {
                        std::string text;
                        W::getMenuStringAt(sub, j, text);
                        const int32_t id = W::getMenuItemId(sub, j);
                        if (text != label) continue;
                        enabled = W::isMenuItemEnabled(sub, uint32_t(id));
                        return enabled ? uint32_t(id) : 0;
                    }
            return 0;
        });
        W::Point p{ax(700), ay(rowY(4))};
        W::clientToScreen(service->window, p);
        move(ax(700), ay(rowY(4)));
        Window::WindowMouseService* router = Window::WindowMouseService::get();
        router->dispatch(router->window, W::kWmContextMenu, 0, W::makeLParam(p.x, p.y));
        W::setMenuAnswerHook({});
    };
    bool enabled = true;
    pickInSubmenu("全てのオブジェクトを選択", enabled);
    EXPECT_FALSE(enabled) << "without Ctrl the selection commands are grayed";
    EXPECT_TRUE(scene().selection.objects.empty());
    // Checked while Ctrl is still held: the area holds the key, and its release is the area's to handle.
    Held ctrl(W::kVkControl);
    pickInSubmenu("全てのオブジェクトを選択", enabled);
    EXPECT_TRUE(enabled);
    EXPECT_TRUE(a->selected);
    EXPECT_TRUE(b->selected);
    EXPECT_FALSE(c->selected) << "a locked layer's object is not added";
    EXPECT_EQ(Window::WindowMouseService::get()->keyHoldTarget, panel->objectArea.get());
}

TEST_F(TimelineMenus, TheSceneButtonListsTheScenesWithTheCurrentChecked) {
    show(100000);
    Window::WindowControl& button = *panel->sceneButton;
    Shown shown;
    W::setMenuAnswerHook([&](W::MenuHandle menu, const W::Point&) -> uint32_t {
        for (int32_t i = 0; i < W::getMenuItemCount(menu); ++i) {
            std::string text;
            W::getMenuStringAt(menu, i, text);
            shown.labels.push_back(text);
            shown.checked = W::isMenuItemChecked(menu, uint32_t(W::getMenuItemId(menu, i)));
        }
        return 0;
    });
    const int32_t x = button.fullRect.x + button.fullRect.w / 2, y = button.fullRect.y + button.fullRect.h / 2;
    press(x, y);
    release(x, y);
    ASSERT_EQ(shown.labels.size(), 1u);
    EXPECT_EQ(shown.labels[0], "Root");
    EXPECT_TRUE(shown.checked);
}

namespace {

TEST_F(TimelineGestures, DraggingAnEdgeShowsItsTimeFromTheSceneAndTheObjectStart) {
    add(0, 10, 39);  // 30 frames a second
    editService().settings().layerObjectMoveSnap = 0;
    show(100000);
    panel->showMoveObjectTime = 1;
    press(ax(398), ay(rowY(0)));  // the end edge: end + 1 is frame 40
    EXPECT_TRUE(Window::ToolTips::shown);
    EXPECT_EQ(Window::ToolTips::text, L"00:00:01.33 ( 00:01.00 )");
    move(ax(423), ay(rowY(0)));
    move(ax(448), ay(rowY(0)));
    EXPECT_EQ(Window::ToolTips::text, L"00:00:01.50 ( 00:01.16 )");
    release(ax(448), ay(rowY(0)));
    EXPECT_FALSE(Window::ToolTips::shown);
}

}  // namespace
