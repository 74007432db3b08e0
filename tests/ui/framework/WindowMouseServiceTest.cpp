// The input router fed the window layer's messages directly: hit test,
// capture, drags, double clicks, hover, wheel latching, keys, colour pick,
// drops and the routing guard of nested loops.
#include "ui/framework/WindowMouseService.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/ServiceHolder.h"
#include "core/SettingService.h"
#include "platform/window/Window.h"
#include "support/PumpMessages.h"
#include "support/TestFolders.h"
#include "ui/framework/DropFiles.h"
#include "ui/framework/WindowMouse.h"

namespace {

namespace W = Platform::window;
using Window::MouseRect;
using Window::WindowMouse;
using Window::WindowMouseService;
using Cursor = WindowMouseService::MouseCursor;

std::vector<std::string> g_log;

// Logs every handler call as "name:event args".
class Probe : public WindowMouse {
public:
    enum class Press { Ignore, Claim, Drag, HiddenDrag };
    Probe(std::string name, MouseRect r, int32_t priority) : WindowMouse(&box, priority), name(std::move(name)) {
        box = r;
    }
    void log(const std::string& text) { g_log.push_back(name + ":" + text); }
    static std::string xy(int32_t x, int32_t y) { return " " + std::to_string(x) + "," + std::to_string(y); }

    void procMouseMove(int32_t x, int32_t y) override { log("move" + xy(x, y)); }
    void procMouseDrag(int32_t x, int32_t y) override { log("drag" + xy(x, y)); }
    void procDragCancel() override { log("dragcancel"); }
    bool procDragKey(int32_t key) override {
        log("dragkey " + std::to_string(key));
        return key == 27;
    }
    void procKeyRelease() override { log("keyrelease"); }
    void procLButtonDown(int32_t x, int32_t y) override {
        log(std::string(service->doubleClick ? "ldouble" : "ldown") + xy(x, y));
        onPress();
    }
    void procLButtonUp(int32_t x, int32_t y) override { log("lup" + xy(x, y)); }
    void procRButtonDown(int32_t x, int32_t y) override {
        log("rdown" + xy(x, y));
        onPress();
    }
    void procRButtonUp(int32_t x, int32_t y) override { log("rup" + xy(x, y)); }
    void procMouseEnter() override { log("enter"); }
    void procMouseLeave() override { log("leave"); }
    void procCaptureLost() override { log("lost"); }
    void procMouseWheel(int32_t x, int32_t y, int32_t delta) override {
        log("wheel" + xy(x, y) + " " + std::to_string(delta));
    }
    bool procKeyDown(int32_t key) override {
        log("key " + std::to_string(key));
        return true;
    }
    bool procChar(char16_t unit) override {
        log("char " + std::to_string(static_cast<int>(unit)));
        return true;
    }
    void procFocusLost(WindowMouse* cause) override { log(std::string("focuslost") + (cause ? " to" : "")); }
    void procContextMenu(int32_t x, int32_t y) override { log("menu" + xy(x, y)); }
    bool procFocusIme(Window::ImeState&) override { return takesText; }
    bool procDragOver(int32_t x, int32_t y, Window::DropFiles&) override {
        log("dragover" + xy(x, y));
        return true;
    }
    bool procDrop(int32_t x, int32_t y, Window::DropFiles& files) override {
        log("drop" + xy(x, y) + " " + std::to_string(files.files.size()));
        return true;
    }
    void procDragLeave() override { log("dragleave"); }
    void procPickColor(const uint8_t* rgb) override {
        log(rgb ? "pick " + std::to_string(rgb[0]) + "," + std::to_string(rgb[1]) + "," + std::to_string(rgb[2])
                : "pick none");
    }
    void procMouseHover() override { log("hover"); }

    void onPress() {
        switch (press) {
        case Press::Ignore: break;
        case Press::Claim:
            dragging = true;
            service->dragStarted = true;
            break;
        case Press::Drag: service->beginDrag(0, 0, &Cursor::SizeWE); break;
        case Press::HiddenDrag: service->beginDrag(0, 0, &Cursor::Hidden); break;
        }
        if (pressAction) pressAction();
    }

    MouseRect box;
    std::string name;
    Press press = Press::Ignore;
    bool takesText = false;
    std::function<void()> pressAction;
};

class Router : public testing::Test {
protected:
    void SetUp() override {
        g_log.clear();
        drainQueue();
        holder_ = std::make_unique<System::ServiceHolder<WindowMouseService>>();
        router = WindowMouseService::get();
        router->attachWindow(nullptr);
        router->hooks.clock = [this] { return clock; };
        router->hooks.getCursorPos = [this](W::Point& p) {
            p = cursor;
            return true;
        };
        router->hooks.setCursorPos = [this](const W::Point& p) {
            cursor = p;
            return true;
        };
        router->hooks.screenPixel = [](const W::Point& p, uint8_t rgb[3]) {
            rgb[0] = static_cast<uint8_t>(p.x);
            rgb[1] = static_cast<uint8_t>(p.y);
            rgb[2] = 7;
            return true;
        };
        router->hooks.shortcut = [](int32_t key, bool system) {
            g_log.push_back(std::string(system ? "sysshortcut " : "shortcut ") + std::to_string(key));
            return key == 65;
        };
    }
    void TearDown() override {
        probes.clear();
        holder_.reset();
        WindowMouseService::routingBusy = false;
        drainQueue();
    }
    static void drainQueue() {
        W::Message left;
        while (W::peekMessage(left, nullptr, 0, 0, W::kPmRemove)) {
        }
    }
    Probe& add(const std::string& name, MouseRect r, int32_t priority) {
        probes.push_back(std::make_unique<Probe>(name, r, priority));
        return *probes.back();
    }
    bool send(uint32_t message, int32_t x = 0, int32_t y = 0, uintptr_t wParam = 0) {
        return router->dispatch(nullptr, message, wParam, W::makeLParam(x, y));
    }
    bool move(int32_t x, int32_t y) { return send(W::kWmMouseMove, x, y); }
    bool key(uint32_t message, int32_t vk) { return router->dispatch(nullptr, message, vk, 0); }
    std::vector<std::string> take() {
        std::vector<std::string> out;
        out.swap(g_log);
        return out;
    }

    using Log = std::vector<std::string>;
    uint64_t clock = 1000;
    W::Point cursor{500, 400};
    WindowMouseService* router = nullptr;
    std::vector<std::unique_ptr<Probe>> probes;

private:
    std::unique_ptr<System::ServiceHolder<WindowMouseService>> holder_;
};

TEST_F(Router, HitTestPicksByPriorityThenCentreDistanceAndStopsAtDisabled) {
    struct Case {
        const char* what;
        int32_t x, y;
        bool disableTop;
        bool hideTop;
        const char* winner;  // "" for none
    };
    const Case cases[] = {
        {"higher priority wins over the panel", 30, 30, false, false, "top"},
        {"same priority: nearer centre wins (left)", 12, 30, false, false, "left"},
        {"same priority: nearer centre wins (right)", 48, 30, false, false, "right"},
        {"only the panel", 90, 90, false, false, "panel"},
        {"outside every object", 500, 500, false, false, ""},
        {"right edge is outside", 100, 30, false, false, ""},
        {"disabled top hides the panel below", 30, 30, true, false, ""},
        {"invisible top is skipped", 30, 30, false, true, "left"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        probes.clear();
        add("panel", {0, 0, 100, 100}, 100);
        add("left", {0, 20, 40, 20}, 101);
        add("right", {20, 20, 40, 20}, 101);
        Probe& top = add("top", {25, 25, 10, 10}, 200);
        top.enabled = !c.disableTop;
        top.visible = !c.hideTop;
        WindowMouse* found = router->findTarget(c.x, c.y);
        WindowMouseService::routingBusy = false;
        EXPECT_EQ(found ? static_cast<Probe*>(found)->name : "", c.winner);
    }
}

TEST_F(Router, DisabledControlTakesNoPressAndHidesThePanel) {
    Probe& panel = add("panel", {0, 0, 100, 100}, 100);
    Probe& control = add("control", {10, 10, 20, 20}, 101);
    control.enabled = false;
    EXPECT_FALSE(send(W::kWmLButtonDown, 15, 15));
    EXPECT_FALSE(send(W::kWmLButtonUp, 15, 15));
    (void)panel;
    EXPECT_EQ(take(), Log{});
}

TEST_F(Router, HandlersGetLocalCoordinatesAndHoverFollows) {
    add("a", {10, 20, 30, 30}, 100);
    add("b", {50, 20, 30, 30}, 100);
    EXPECT_TRUE(move(15, 25));
    EXPECT_TRUE(move(16, 25));
    EXPECT_TRUE(move(16, 25));  // same point: nothing
    EXPECT_TRUE(move(55, 30));
    EXPECT_TRUE(router->dispatch(nullptr, W::kWmMouseHover, 0, 0));
    EXPECT_TRUE(router->dispatch(nullptr, W::kWmMouseLeave, 0, 0));
    EXPECT_EQ(take(),
              (Log{"a:enter", "a:move 5,5", "a:move 6,5", "a:leave", "b:enter", "b:move 5,10", "b:hover", "b:leave"}));
    EXPECT_EQ(router->hoverTarget, nullptr);
}

TEST_F(Router, LeavingTheWindowHidesATipTheHoverShowedAtTheCursor) {
    add("a", {10, 20, 30, 30}, 100);
    std::vector<bool> hidden;
    router->hooks.hideToolTip = [&hidden](bool cursorBoundOnly) { hidden.push_back(cursorBoundOnly); };
    EXPECT_TRUE(move(15, 25));
    hidden.clear();
    EXPECT_TRUE(router->dispatch(nullptr, W::kWmMouseHover, 0, 0));
    EXPECT_TRUE(hidden.empty());
    EXPECT_TRUE(router->dispatch(nullptr, W::kWmMouseLeave, 0, 0));
    EXPECT_EQ(hidden, std::vector<bool>{true});
}

TEST_F(Router, UnclaimedPressKeepsMovesOnThePressedObjectButConsumesNothing) {
    add("a", {0, 0, 20, 20}, 100);
    add("b", {40, 0, 20, 20}, 100);
    EXPECT_FALSE(send(W::kWmLButtonDown, 5, 5));
    move(45, 5);  // over b, but a holds the press
    EXPECT_FALSE(send(W::kWmLButtonUp, 45, 5));
    EXPECT_EQ(take(), (Log{"a:enter", "a:move 5,5", "a:ldown 5,5", "a:move 45,5"}));
    EXPECT_EQ(router->captureTarget, nullptr);
}

TEST_F(Router, ClaimedPressGetsReleaseAndCaptureLoss) {
    Probe& a = add("a", {10, 10, 20, 20}, 100);
    a.press = Probe::Press::Claim;
    EXPECT_TRUE(send(W::kWmLButtonDown, 12, 13));
    EXPECT_TRUE(send(W::kWmLButtonUp, 80, 90));
    EXPECT_EQ(take(), (Log{"a:enter", "a:move 2,3", "a:ldown 2,3", "a:lup 70,80", "a:lost"}));
    EXPECT_FALSE(a.dragging);
    EXPECT_EQ(router->captureTarget, nullptr);
}

TEST_F(Router, DragStartsPastTheThresholdOrAfterTheDoubleClickTime) {
    struct Step {
        int32_t x, y;
        uint64_t after;  // ms since the press
    };
    struct Case {
        const char* what;
        std::vector<Step> steps;
        Log drags;
        bool releaseConsumed;
    };
    // Defaults without a settings service: drag box 4 x 4, double-click time
    // 500 ms. With offsets (0, 0) the drag reports local coordinates.
    const Case cases[] = {
        {"press and release in place", {}, {}, false},
        {"small move within the time", {{12, 11, 10}}, {}, false},
        {"past the width", {{12, 11, 10}, {14, 11, 20}}, {"a:drag 14,11"}, true},
        {"past the height", {{10, 14, 10}}, {"a:drag 10,14"}, true},
        {"small move after the time", {{11, 10, 10}, {12, 10, 600}}, {"a:drag 12,10"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        probes.clear();
        Probe& a = add("a", {0, 0, 100, 100}, 100);
        a.press = Probe::Press::Drag;
        clock += 10000;
        const uint64_t start = clock;
        EXPECT_TRUE(send(W::kWmLButtonDown, 10, 10));
        EXPECT_EQ(router->currentCursor, &Cursor::SizeWE);
        take();
        for (const Step& s : c.steps) {
            clock = start + s.after;
            move(s.x, s.y);
        }
        EXPECT_EQ(take(), c.drags);
        EXPECT_EQ(send(W::kWmLButtonUp, 20, 20), c.releaseConsumed);
        EXPECT_EQ(take(), (Log{"a:lup 20,20", "a:lost"}));
        EXPECT_FALSE(router->dragArmed);
        EXPECT_EQ(router->currentCursor, &Cursor::Arrow);
    }
}

TEST_F(Router, HiddenCursorDragAccumulatesOnlyHorizontalMovement) {
    Probe& a = add("a", {100, 100, 200, 50}, 100);
    a.press = Probe::Press::HiddenDrag;
    cursor = {600, 500};
    send(W::kWmLButtonDown, 130, 120);
    EXPECT_EQ(router->savedCursorPos.x, 600);
    move(135, 120);  // past the threshold: the drag starts where the pointer is
    take();
    for (int i = 0; i < 5; ++i) {
        cursor = {cursor.x + 2, cursor.y + 3};  // right and down
        move(130 + 2 * (i + 1), 120 + 3 * (i + 1));
        EXPECT_EQ(cursor.x, 600);  // put back each time
        EXPECT_EQ(cursor.y, 500);
        move(130, 120);  // the message that follows the warp back
    }
    // 10 pixels to the right in all: the press point's local x plus 10.
    EXPECT_EQ(take(), (Log{"a:drag 32,20", "a:drag 34,20", "a:drag 36,20", "a:drag 38,20", "a:drag 40,20"}));
}

TEST_F(Router, SecondPressAtTheSamePointWithinTheTimeIsADoubleClick) {
    struct Case {
        const char* what;
        int32_t secondX;
        uint64_t gap;
        bool doubleClick;
    };
    const Case cases[] = {
        {"same point, in time", 5, 100, true},
        {"one pixel off", 6, 100, false},
        {"too late", 5, 500, false},
    };
    add("a", {0, 0, 50, 50}, 100);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        clock += 10000;
        send(W::kWmLButtonDown, 5, 5);
        send(W::kWmLButtonUp, 5, 5);
        clock += c.gap;
        send(W::kWmLButtonDown, c.secondX, 5);
        send(W::kWmLButtonUp, c.secondX, 5);
        EXPECT_EQ(router->doubleClick, c.doubleClick);
    }
    // A third press within the time of the first also counts.
    clock += 10000;
    send(W::kWmLButtonDown, 5, 5);
    clock += 200;
    send(W::kWmLButtonDown, 5, 5);
    clock += 200;
    send(W::kWmLButtonDown, 5, 5);
    EXPECT_TRUE(router->doubleClick);
}

TEST_F(Router, WheelStaysWithTheLastTargetUntilItRests) {
    Probe& list = add("list", {0, 0, 100, 100}, 100);
    Probe& nested = add("nested", {50, 50, 20, 20}, 101);
    list.acceptWheel = nested.acceptWheel = true;
    const uintptr_t down = static_cast<uintptr_t>(static_cast<uint32_t>(-120) << 16);
    router->dispatch(nullptr, W::kWmMouseWheel, down, W::makeLParam(10, 10));
    clock += 100;
    router->dispatch(nullptr, W::kWmMouseWheel, down, W::makeLParam(55, 55));  // over nested: list keeps it
    clock += 600;
    router->dispatch(nullptr, W::kWmMouseWheel, down, W::makeLParam(55, 55));
    clock += 100;
    router->dispatch(nullptr, W::kWmMouseWheel, down, W::makeLParam(10, 10));  // off nested: nobody
    EXPECT_EQ(take(), (Log{"list:wheel 10,10 -120", "list:wheel 55,55 -120", "nested:wheel 5,5 -120"}));
}

TEST_F(Router, FirstWheelRightAfterStartUpIsNotLatchedToNobody) {
    clock = 10;  // well within the double-click time of the clock's start
    Probe& list = add("list", {0, 0, 100, 100}, 100);
    list.acceptWheel = true;
    router->dispatch(nullptr, W::kWmMouseWheel, static_cast<uintptr_t>(120u << 16), W::makeLParam(10, 10));
    EXPECT_EQ(take(), (Log{"list:wheel 10,10 120"}));
}

TEST_F(Router, KeysGoToTheFocusHolderElseToTheShortcutList) {
    Probe& editor = add("editor", {0, 0, 10, 10}, 100);
    EXPECT_TRUE(key(W::kWmKeyDown, 65));
    EXPECT_FALSE(key(W::kWmKeyDown, 66));
    editor.takeFocus();
    EXPECT_TRUE(key(W::kWmKeyDown, 66));
    EXPECT_TRUE(key(W::kWmChar, 'x'));
    EXPECT_FALSE(key(W::kWmSysKeyDown, 66));
    EXPECT_FALSE(key(W::kWmSysChar, 'b'));
    // A press elsewhere takes the focus away.
    add("other", {50, 50, 10, 10}, 100);
    send(W::kWmLButtonDown, 55, 55);
    send(W::kWmLButtonUp, 55, 55);
    EXPECT_FALSE(key(W::kWmChar, 'y'));
    EXPECT_EQ(take(), (Log{"shortcut 65", "shortcut 66", "editor:key 66", "editor:char 120", "sysshortcut 66",
                           "other:enter", "other:move 5,5", "editor:focuslost to", "other:ldown 5,5"}));
    EXPECT_FALSE(editor.focused);
}

TEST_F(Router, AutoRepeatCollapsesToTheLastWaitingKey) {
    Probe& editor = add("editor", {0, 0, 10, 10}, 100);
    editor.takeFocus();
    ASSERT_TRUE(W::postMessage(nullptr, W::kWmKeyDown, 40, 0));
    EXPECT_FALSE(key(W::kWmKeyDown, 40));  // a newer one waits
    EXPECT_TRUE(key(W::kWmKeyDown, 38));   // a different key does not collapse
    drainQueue();
    EXPECT_TRUE(key(W::kWmKeyDown, 40));
    EXPECT_EQ(take(), (Log{"editor:key 38", "editor:key 40"}));
}

TEST_F(Router, KeysDuringADragGoToTheDragFirst) {
    Probe& a = add("a", {0, 0, 100, 100}, 100);
    a.press = Probe::Press::Drag;
    send(W::kWmLButtonDown, 10, 10);
    take();
    EXPECT_FALSE(key(W::kWmKeyDown, 37));  // arrow: starts the drag, not consumed; no focus, shortcut says no
    EXPECT_TRUE(router->dragStarted);
    EXPECT_TRUE(key(W::kWmKeyDown, 27));
    router->cancelCaptureForShortcut();
    EXPECT_EQ(take(), (Log{"a:dragkey 37", "shortcut 37", "a:dragkey 27", "a:dragcancel"}));
    EXPECT_FALSE(router->dragArmed);
}

TEST_F(Router, KeyHoldEndsOnItsKeyOrWhenTheFocusGoes) {
    Probe& a = add("a", {0, 0, 10, 10}, 100);
    Probe& b = add("b", {20, 0, 10, 10}, 100);
    EXPECT_TRUE(router->holdKey(&a, 17));
    EXPECT_FALSE(router->holdKey(&b, 16));
    EXPECT_TRUE(router->holdKey(&b, 17));  // same key: kept
    key(W::kWmKeyUp, 16);
    key(W::kWmKeyUp, 17);
    a.takeFocus();
    router->holdKey(&a, WindowMouseService::KeyHoldWhileFocused);
    router->releaseKeyHold();  // the focus is still held
    router->dispatch(nullptr, W::kWmKillFocus, 0, 0);
    EXPECT_EQ(take(), (Log{"b:keyrelease", "a:focuslost", "a:keyrelease"}));
}

TEST_F(Router, RightClickMovingTheFocusShowsNoContextMenu) {
    Probe& editor = add("editor", {0, 0, 50, 50}, 100);
    Probe& list = add("list", {60, 0, 50, 50}, 100);
    list.acceptRightButton = list.acceptContextMenu = true;
    editor.takeFocus();
    send(W::kWmRButtonDown, 70, 10);
    EXPECT_TRUE(send(W::kWmRButtonUp, 70, 10));
    // Without a focus to move the release is left to the default handling,
    // whose context-menu message reaches the list.
    send(W::kWmRButtonDown, 70, 10);
    EXPECT_FALSE(send(W::kWmRButtonUp, 70, 10));
    EXPECT_TRUE(router->dispatch(nullptr, W::kWmContextMenu, 0, W::makeLParam(71, 12)));
    EXPECT_EQ(take(), (Log{"list:enter", "list:move 10,10", "editor:focuslost to", "list:rdown 10,10",
                           "list:rdown 10,10", "list:menu 11,12"}));
}

TEST_F(Router, HandlersRunningANestedLoopSeeNoMouseMessages) {
    Probe& a = add("a", {0, 0, 50, 50}, 100);
    Probe& b = add("b", {60, 0, 50, 50}, 100);
    a.pressAction = [&] {
        // A popup's loop: its mouse messages find nobody.
        EXPECT_TRUE(WindowMouseService::routingBusy);
        move(70, 10);
        send(W::kWmLButtonDown, 70, 10);
        send(W::kWmLButtonUp, 70, 10);
    };
    send(W::kWmLButtonDown, 10, 10);
    EXPECT_FALSE(WindowMouseService::routingBusy);
    (void)b;
    EXPECT_EQ(take(), (Log{"a:enter", "a:move 10,10", "a:ldown 10,10", "a:leave"}));
}

TEST_F(Router, ThrowingHandlerLeavesTheRouterFree) {
    Probe& a = add("a", {0, 0, 50, 50}, 100);
    a.pressAction = [] { throw std::runtime_error("boom"); };
    EXPECT_THROW(send(W::kWmLButtonDown, 10, 10), std::runtime_error);
    EXPECT_FALSE(WindowMouseService::routingBusy);
}

TEST_F(Router, ColourPickEndsWithThePixelOrCancels) {
    Probe& picker = add("picker", {0, 0, 20, 20}, 100);
    add("other", {40, 0, 20, 20}, 100);
    move(45, 5);
    router->beginColorPick(&picker);
    EXPECT_EQ(router->currentCursor, &Cursor::Crosshair);
    take();
    cursor = {33, 44};
    move(46, 5);  // the pick cursor stays, nobody gets the move
    EXPECT_FALSE(send(W::kWmLButtonDown, 46, 5));
    router->beginColorPick(&picker);
    move(5, 5);
    send(W::kWmLButtonDown, 5, 5);  // on the picker itself: cancelled
    send(W::kWmLButtonUp, 5, 5);
    router->beginColorPick(&picker);
    key(W::kWmKeyDown, 90);
    EXPECT_EQ(take(), (Log{"picker:pick 33,44,7", "picker:pick none", "picker:pick none", "shortcut 90"}));
    EXPECT_EQ(router->colorPickTarget, nullptr);
}

TEST_F(Router, DropsReachObjectsThatTakeThem) {
    Probe& timeline = add("timeline", {0, 0, 100, 100}, 100);
    add("button", {10, 10, 10, 10}, 101);
    timeline.acceptDrop = true;
    Window::DropFiles files{{L"/tmp/a.mp4", L"/tmp/b.png"}, {50, 60}, false};
    EXPECT_TRUE(router->dispatch(nullptr, Window::kWmDragOver, 0, reinterpret_cast<intptr_t>(&files)));
    EXPECT_TRUE(files.accepted);
    files.point = {15, 15};  // over the button, which takes no drops
    files.accepted = false;
    router->dispatch(nullptr, Window::kWmDrop, 0, reinterpret_cast<intptr_t>(&files));
    Window::DropFiles empty;
    router->dispatch(nullptr, Window::kWmDrop, 0, reinterpret_cast<intptr_t>(&empty));
    router->dispatch(nullptr, Window::kWmDragLeave, 0, 0);
    EXPECT_EQ(take(), (Log{"timeline:dragover 50,60", "timeline:drop 15,15 2", "timeline:dragleave"}));
    EXPECT_TRUE(files.accepted);
}

TEST_F(Router, InputMethodTextGoesToAHolderThatTakesText) {
    Probe& editor = add("editor", {0, 0, 10, 10}, 100);
    Probe& button = add("button", {20, 0, 10, 10}, 100);
    router->hooks.imeResultString = [] { return std::u16string(u"\u3042b"); };
    editor.takesText = true;
    editor.takeFocus();
    router->dispatch(nullptr, Window::kWmImeStartComposition, 0, 0);
    router->dispatch(nullptr, Window::kWmImeComposition, 0, Window::kGcsResultStr);
    router->dispatch(nullptr, Window::kWmImeComposition, 0, 0);  // no result yet
    button.takeFocus();
    router->dispatch(nullptr, Window::kWmImeStartComposition, 0, 0);
    EXPECT_FALSE(router->imeState.associated);
    router->dispatch(nullptr, Window::kWmImeComposition, 0, Window::kGcsResultStr);
    EXPECT_EQ(take(), (Log{"editor:char 12354", "editor:char 98", "editor:focuslost"}));
}

TEST_F(Router, UnregisteringClearsEveryRoleSilently) {
    auto doomed = std::make_unique<Probe>("doomed", MouseRect{0, 0, 10, 10}, 100);
    doomed->press = Probe::Press::Claim;
    move(5, 5);
    send(W::kWmLButtonDown, 5, 5);
    doomed->takeFocus();
    router->holdKey(doomed.get(), 17);
    take();
    doomed.reset();
    EXPECT_TRUE(router->mice.empty());
    EXPECT_EQ(router->captureTarget, nullptr);
    EXPECT_EQ(router->hoverTarget, nullptr);
    EXPECT_EQ(router->focusTarget, nullptr);
    EXPECT_EQ(router->keyHoldTarget, nullptr);
    send(W::kWmLButtonUp, 5, 5);
    key(W::kWmKeyUp, 17);
    EXPECT_EQ(take(), Log{});
}

// The drag box and the double-click time come from the settings service,
// which reads them through the reader the program installs.
class RouterSettings : public TestFolders {
protected:
    void SetUp() override {
        TestFolders::SetUp();
        writeFile(install() / "style.conf",
                  "[Layout]\nSettingItemHeight=20\nExplorerHeaderHeight=28\nListItemHeight=24\n");
    }
};

TEST_F(RouterSettings, ThresholdAndDoubleClickTimeComeFromTheDesktop) {
    Setting::SettingService::setInputTimingsReader([](Platform::os::InputTimings& t) -> Platform::Result {
        t = Platform::os::InputTimings{};
        t.dragWidth = 10;
        t.dragHeight = 10;
        t.doubleClickTime = 2000;
        return Platform::kOk;
    });
    {
        System::ServiceHolder<Setting::SettingService> settings;
        System::ServiceHolder<WindowMouseService> holder;
        WindowMouseService* router = WindowMouseService::get();
        uint64_t clock = 0;
        router->hooks.clock = [&] { return clock; };
        g_log.clear();
        Probe a("a", {0, 0, 100, 100}, 100);
        a.press = Probe::Press::Drag;
        router->dispatch(nullptr, W::kWmLButtonDown, 0, W::makeLParam(10, 10));
        clock = 1000;  // past the usual 500 ms but within this desktop's time
        router->dispatch(nullptr, W::kWmMouseMove, 0, W::makeLParam(18, 10));
        EXPECT_FALSE(router->dragStarted);
        router->dispatch(nullptr, W::kWmMouseMove, 0, W::makeLParam(20, 10));
        EXPECT_TRUE(router->dragStarted);
        router->dispatch(nullptr, W::kWmLButtonUp, 0, W::makeLParam(20, 10));
        clock = 2500;
        router->dispatch(nullptr, W::kWmLButtonDown, 0, W::makeLParam(10, 10));
        router->dispatch(nullptr, W::kWmLButtonUp, 0, W::makeLParam(10, 10));
        clock = 4000;
        router->dispatch(nullptr, W::kWmLButtonDown, 0, W::makeLParam(10, 10));
        EXPECT_TRUE(router->doubleClick);
        router->dispatch(nullptr, W::kWmLButtonUp, 0, W::makeLParam(10, 10));
    }
    Setting::SettingService::setInputTimingsReader(nullptr);
}

// The real window: input injected through the X server reaches the router
// and the registered objects.
WindowMouseService* g_router = nullptr;
intptr_t routedProc(W::WindowHandle w, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (g_router != nullptr && g_router->window == w && g_router->dispatch(w, message, wParam, lParam)) return 0;
    return W::defWindowProc(w, message, wParam, lParam);
}

class RealWindow : public testing::Test {
protected:
    void SetUp() override {
        if (!W::hasDisplay()) GTEST_SKIP() << "no display";
        g_log.clear();
        holder_ = std::make_unique<System::ServiceHolder<WindowMouseService>>();
        router = WindowMouseService::get();
        g_router = router;
        window = W::createWindow({.x = 200, .y = 150, .width = 300, .height = 200, .procedure = routedProc});
        ASSERT_NE(window, nullptr);
        router->attachWindow(window);
        W::showWindow(window, W::kSwShow);
    }
    void TearDown() override {
        probes.clear();
        if (window != nullptr) W::destroyWindow(window);
        g_router = nullptr;
        holder_.reset();
    }
    // Pumps the window's messages until the log holds the line; the deadline
    // only keeps a broken run from hanging.
    bool waitFor(const std::string& line) {
        if (TestSupport::pumpUntil([&] { return std::find(g_log.begin(), g_log.end(), line) != g_log.end(); }, line))
            return true;
        for (const std::string& seen : g_log) ADD_FAILURE() << "seen: " << seen;
        return false;
    }
    void xdotool(const std::string& actions) { ASSERT_EQ(std::system(("xdotool " + actions).c_str()), 0) << actions; }
    std::string at(int32_t x, int32_t y) {
        W::Point p{x, y};
        W::clientToScreen(window, p);
        return std::to_string(p.x) + " " + std::to_string(p.y);
    }
    Probe& add(const std::string& name, MouseRect r, int32_t priority) {
        probes.push_back(std::make_unique<Probe>(name, r, priority));
        return *probes.back();
    }

    WindowMouseService* router = nullptr;
    W::WindowHandle window = nullptr;
    std::vector<std::unique_ptr<Probe>> probes;

private:
    std::unique_ptr<System::ServiceHolder<WindowMouseService>> holder_;
};

TEST_F(RealWindow, InjectedInputReachesTheObjects) {
    Probe& panel = add("panel", {0, 0, 300, 200}, 100);
    Probe& button = add("button", {20, 20, 40, 30}, 101);
    Probe& list = add("list", {150, 100, 100, 80}, 101);
    panel.press = Probe::Press::Drag;
    button.press = Probe::Press::Claim;
    list.acceptWheel = true;
    // The window is on screen once a pointer move over it arrives.
    xdotool("mousemove " + at(100, 60));
    ASSERT_TRUE(waitFor("panel:move 100,60"));
    xdotool("mousemove " + at(30, 30));
    ASSERT_TRUE(waitFor("button:move 10,10"));
    xdotool("click 1");
    ASSERT_TRUE(waitFor("button:lost"));
    xdotool("click --repeat 2 --delay 50 1");
    ASSERT_TRUE(waitFor("button:ldouble 10,10"));
    // A drag on the panel past the threshold.
    xdotool("mousemove " + at(100, 120) + " mousedown 1 mousemove " + at(130, 125) + " mouseup 1");
    ASSERT_TRUE(waitFor("panel:lup 130,125"));
    EXPECT_NE(std::find(g_log.begin(), g_log.end(), "panel:drag 130,125"), g_log.end());
    // Keys go to the focus holder.
    panel.takeFocus();
    xdotool("key b");
    ASSERT_TRUE(waitFor("panel:key 66"));
    // The wheel over the list.
    xdotool("mousemove " + at(160, 110) + " click 5");
    ASSERT_TRUE(waitFor("list:wheel 10,10 -120"));
}

TEST(RouterCursors, ProgramCursorsLoadAndApply) {
    System::ServiceHolder<WindowMouseService> holder;
    WindowMouseService* router = WindowMouseService::get();
    for (Cursor* c :
         {&Cursor::HorizontalArrows, &Cursor::VerticalArrows, &Cursor::Crosshair, &Cursor::Hidden, &Cursor::Arrow}) {
        router->currentCursor = c;
        router->applyCursor();
        EXPECT_EQ(router->appliedCursor, c);
        EXPECT_NE(c->handle, nullptr);
    }
}

}  // namespace
