// The main window's tool tip, popup choice list and drop target, on the real
// main window with the input router: time-outs and the screen-edge
// correction of the tip, where the list opens and how it closes, and files
// dragged through the window layer reaching the panel under the pointer.
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "core/EventService.h"
#include "core/ServiceHolder.h"
#include "core/SettingService.h"
#include "core/Timer.h"
#include "media/gpu/Direct2DService.h"
#include "platform/window/ListBox.h"
#include "platform/window/ToolTip.h"
#include "platform/window/Window.h"
#include "support/TestFolders.h"
#include "ui/framework/DropFiles.h"
#include "ui/framework/ListBox.h"
#include "ui/framework/ToolTips.h"
#include "ui/framework/WindowMouse.h"
#include "ui/framework/WindowMouseService.h"
#include "ui/framework/WindowService.h"

namespace {

namespace W = Platform::window;
using Window::ListBox;
using Window::MouseRect;
using Window::ToolTips;

// A panel that logs what the router hands it; it takes drops when told to.
class Panel : public Window::WindowMouse {
public:
    Panel(std::vector<std::string>& log, std::string name, MouseRect r, bool takesDrops)
        : WindowMouse(&box, 0), log_(log), name_(std::move(name)) {
        box = r;
        acceptDrop = true;
        takes = takesDrops;
    }
    bool procDragOver(int32_t x, int32_t y, Window::DropFiles& files) override {
        log_.push_back(name_ + ":over " + std::to_string(x) + "," + std::to_string(y) + " " +
                       std::to_string(files.files.size()));
        return takes;
    }
    bool procDrop(int32_t x, int32_t y, Window::DropFiles& files) override {
        std::string text = name_ + ":drop " + std::to_string(x) + "," + std::to_string(y);
        for (const std::wstring& file : files.files) text += " " + std::string(file.begin(), file.end());
        log_.push_back(text);
        return takes;
    }
    void procDragLeave() override { log_.push_back(name_ + ":leave"); }
    void procLButtonDown(int32_t, int32_t) override { log_.push_back(name_ + ":press"); }

    MouseRect box;
    bool takes = true;

private:
    std::vector<std::string>& log_;
    std::string name_;
};

class Popups : public TestFolders {
protected:
    void SetUp() override {
        TestFolders::SetUp();
        writeFile(install() / "style.conf",
                  "[Color]\nBackground=102030\nFooter=c08040\n"
                  "[Layout]\nSettingItemHeight=20\nExplorerHeaderHeight=28\nListItemHeight=24\n");
        // A main window 800 pixels high.
        writeFile(appData() / "velmo2.ini", "[Window]\r\nx=0\r\ny=0\r\nw=640\r\nh=800\r\nzoom=0\r\n");
        W::Message left;
        while (W::peekMessage(left, nullptr, 0, 0, W::kPmRemove)) {
        }
        settings_ = std::make_unique<System::ServiceHolder<Setting::SettingService>>();
        direct2d_ = std::make_unique<System::ServiceHolder<Media::Direct2DService>>();
        events_ = std::make_unique<System::ServiceHolder<Event::EventService>>();
        router_ = std::make_unique<System::ServiceHolder<Window::WindowMouseService>>();
        service_ = std::make_unique<System::ServiceHolder<Window::WindowService>>();
        window = Window::WindowService::get()->window;
    }
    void TearDown() override {
        panels.clear();
        if (Event::EventService* events = Event::EventService::get()) events->exitListeners.call();
        service_.reset();
        router_.reset();
        events_.reset();
        direct2d_.reset();
        settings_.reset();
        W::Message left;
        while (W::peekMessage(left, nullptr, 0, 0, W::kPmRemove)) {
        }
        TestFolders::TearDown();
    }
    Panel& addPanel(const std::string& name, MouseRect r, bool takesDrops = true) {
        panels.push_back(std::make_unique<Panel>(log, name, r, takesDrops));
        return *panels.back();
    }
    W::Point screen(int32_t x, int32_t y) const {
        W::Point p{x, y};
        W::clientToScreen(window, p);
        return p;
    }
    static W::Rect rectOf(W::WindowHandle handle) {
        W::Rect r;
        EXPECT_TRUE(W::getWindowRect(handle, r));
        return r;
    }
    std::vector<std::string> take() {
        std::vector<std::string> out;
        out.swap(log);
        return out;
    }

    W::WindowHandle window = nullptr;
    std::vector<std::string> log;
    std::vector<std::unique_ptr<Panel>> panels;

private:
    std::unique_ptr<System::ServiceHolder<Setting::SettingService>> settings_;
    std::unique_ptr<System::ServiceHolder<Media::Direct2DService>> direct2d_;
    std::unique_ptr<System::ServiceHolder<Event::EventService>> events_;
    std::unique_ptr<System::ServiceHolder<Window::WindowMouseService>> router_;
    std::unique_ptr<System::ServiceHolder<Window::WindowService>> service_;
};

using Log = std::vector<std::string>;

// What the tip's timer does when it expires, as the dispatch of its timer message does.
void expireTipTimer() {
    ASSERT_NE(ToolTips::timer().id(), 0u) << "no timer is running";
    System::Timer::timerProc(nullptr, W::kWmTimer, ToolTips::timer().id(), 0);
}

TEST_F(Popups, ATipWithATimeOutHidesItselfUnlessShownAgainWithout) {
    ToolTips::show({100, 100}, L"first", 3000);
    EXPECT_TRUE(ToolTips::shown);
    EXPECT_TRUE(W::isWindowVisible(ToolTips::window));
    EXPECT_EQ(W::getToolTipText(ToolTips::window), "first");
    expireTipTimer();
    EXPECT_FALSE(ToolTips::shown);
    EXPECT_FALSE(W::isWindowVisible(ToolTips::window));

    // Shown again without a time-out before the time is up: it stays.
    ToolTips::show({100, 100}, L"second", 3000);
    ToolTips::show({120, 100}, L"second", 0);
    EXPECT_EQ(ToolTips::timeout, 0);
    EXPECT_EQ(ToolTips::timer().id(), 0u);
    EXPECT_TRUE(ToolTips::shown);
    EXPECT_EQ(rectOf(ToolTips::window).left, 120) << "moved to the new point";
    // A router's move hides only a tip that follows the cursor; a drop hides any.
    W::sendMessage(window, W::kWmMouseMove, 0, W::makeLParam(7, 7));
    EXPECT_TRUE(ToolTips::shown);
    ToolTips::hideFor(false);
    EXPECT_FALSE(ToolTips::shown);
}

TEST_F(Popups, ATipThatFollowsTheCursorGoesOnTheNextMoveOrPress) {
    const uint32_t messages[] = {W::kWmMouseMove, W::kWmLButtonDown, W::kWmRButtonDown};
    int32_t x = 10;
    for (const uint32_t message : messages) {
        // An earlier tip's time does not end this one.
        ToolTips::show({100, 100}, L"earlier", 3000);
        ToolTips::show({100, 100}, L"follows", -1);
        EXPECT_EQ(ToolTips::timeout, -1);
        EXPECT_EQ(ToolTips::timer().id(), 0u) << message;
        x += 10;
        W::sendMessage(window, message, 0, W::makeLParam(x, 5));
        EXPECT_FALSE(ToolTips::shown) << message;
        EXPECT_FALSE(W::isWindowVisible(ToolTips::window)) << message;
    }
}

TEST_F(Popups, ATipPastTheRightEdgeOfTheScreenMovesLeftOnly) {
    const int32_t right = W::getSystemMetrics(W::kSmXVirtualScreen) + W::getSystemMetrics(W::kSmCxVirtualScreen);
    const int32_t bottom = W::getSystemMetrics(W::kSmYVirtualScreen) + W::getSystemMetrics(W::kSmCyVirtualScreen);
    ToolTips::show({0, 0}, L"a tip of some width", 0);
    const W::Rect size = rectOf(ToolTips::window);
    const int32_t width = size.right - size.left;
    ASSERT_GT(width, 20);
    const struct {
        W::Point at;
        int32_t left;
    } cases[] = {
        {{right - width - 1, 50}, right - width - 1},  // fits
        {{right - width, 60}, right - width},          // ends on the edge
        {{right - 5, 70}, right - width},              // passes it
        {{right - 5, bottom - 2}, right - width},      // the bottom is not corrected
    };
    for (const auto& c : cases) {
        ToolTips::show(c.at, L"a tip of some width", 0);
        const W::Rect r = rectOf(ToolTips::window);
        EXPECT_EQ(r.left, c.left) << c.at.x;
        EXPECT_EQ(r.top, c.at.y) << c.at.x;
        EXPECT_EQ(r.right - r.left, width);
    }
}

TEST_F(Popups, ATipTextIsCutAndLineBreaksMakeLines) {
    ToolTips::show({10, 10}, std::wstring(2000, L'x').c_str(), 0);
    EXPECT_EQ(ToolTips::text.size(), ToolTips::TipTextCapacity - 1);
    ToolTips::show({10, 10}, L"one line", 0);
    const W::Rect one = rectOf(ToolTips::window);
    ToolTips::show({10, 10}, L"one line\none line", 0);
    const W::Rect two = rectOf(ToolTips::window);
    EXPECT_GT(two.bottom - two.top, one.bottom - one.top);
    EXPECT_EQ(two.right - two.left, one.right - one.left);
}

TEST_F(Popups, ATipBelowAWindowShowsTitleAndTextForThreeSeconds) {
    ToolTips::showBelow(window, L"値", L"範囲外です");
    EXPECT_EQ(ToolTips::text, L"値 範囲外です");
    EXPECT_EQ(ToolTips::timeout, 3000);
    const W::Rect below = rectOf(window), tip = rectOf(ToolTips::window);
    EXPECT_EQ(tip.top, below.bottom + 1);
}

// Pixels of a popup's surface that are near black: its text.
int darkPixels(W::WindowHandle popup, int32_t rowTop = 0, int32_t rowBottom = 1 << 20) {
    cairo_surface_t* surface = W::windowSurface(popup);
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface), height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int dark = 0;
    for (int y = std::max(rowTop, 0); y < std::min(rowBottom, height); ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = data + y * stride + x * 4;
            dark += p[0] < 80 && p[1] < 80 && p[2] < 80;
        }
    return dark;
}

TEST_F(Popups, TheTipShowsItsText) {
    ToolTips::show({10, 10}, L" ", 0);
    const int blank = darkPixels(ToolTips::window);
    ToolTips::show({10, 10}, L"Tip text", 0);
    EXPECT_GT(darkPixels(ToolTips::window), blank + 20);
}

class PopupList : public Popups {
protected:
    std::vector<int> ran;
    void open(int count, int32_t x, int32_t y, int32_t offset = 20, int32_t selected = -1) {
        ListBox::initialize();
        for (int i = 0; i < count; ++i)
            ListBox::addEntry(L"entry " + std::to_wstring(i), [this, i] { ran.push_back(i); });
        if (selected >= 0) ListBox::selectedIndex = selected;
        ListBox::show(x, y, 120, offset, this);
    }
    intptr_t list(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) {
        return W::sendMessage(ListBox::window, message, wParam, lParam);
    }
    int32_t itemHeight() { return static_cast<int32_t>(list(W::kLbGetItemHeight)); }
};

TEST_F(PopupList, OpensBelowTheControlOrUpwardNearTheBottomOfTheScreen) {
    const int32_t bottom = W::getSystemMetrics(W::kSmYVirtualScreen) + W::getSystemMetrics(W::kSmCyVirtualScreen);
    const W::Point origin = screen(0, 0);
    const int32_t many = 100;
    const struct {
        int count;
        int32_t y;  // client
        bool upward;
    } cases[] = {
        {many, 50, false},
        {3, 50, false},
        {many, bottom - origin.y - 100, true},
        {3, bottom - origin.y - 10, true},
    };
    for (const auto& c : cases) {
        open(c.count, 30, c.y);
        ASSERT_TRUE(ListBox::listShown);
        // At most a quarter of the window's 800 pixels, raised to 256, plus the frame.
        const int32_t height = std::min(itemHeight() * c.count, 256) + 4;
        const W::Point at = screen(30, c.y);
        const W::Rect r = rectOf(ListBox::window);
        EXPECT_EQ(r.bottom - r.top, height) << c.count;
        EXPECT_EQ(r.left, at.x);
        EXPECT_EQ(r.right - r.left, 120);
        if (c.upward)
            EXPECT_EQ(r.bottom, at.y) << c.y;
        else
            EXPECT_EQ(r.top, at.y + 20) << c.y;
        EXPECT_TRUE(W::isWindowVisible(ListBox::window));
        ListBox::hide();
        EXPECT_FALSE(W::isWindowVisible(ListBox::window));
        EXPECT_EQ(list(W::kLbGetCount), 0);
        EXPECT_TRUE(ListBox::actions.empty());
        EXPECT_EQ(ListBox::selectedIndex, 0);
    }
}

TEST_F(PopupList, AClickRunsTheEntryUnderThePointerAndClosesUnlessCtrlIsHeld) {
    open(5, 10, 10, 20, 3);
    EXPECT_EQ(list(W::kLbGetCurSel), 3) << "the opener's selection";
    const int32_t h = itemHeight();
    const intptr_t second = W::makeLParam(20, 1 * h + h / 2), fourth = W::makeLParam(20, 3 * h + h / 2);
    list(W::kWmMouseMove, 0, second);
    EXPECT_EQ(list(W::kLbGetCurSel), 1);
    list(W::kWmLButtonDown, W::kMkLButton | W::kMkControl, second);
    EXPECT_EQ(ran, (std::vector<int>{1}));
    EXPECT_TRUE(ListBox::listShown);
    list(W::kWmMouseMove, 0, fourth);
    list(W::kWmLButtonDown, W::kMkLButton, fourth);
    EXPECT_EQ(ran, (std::vector<int>{1, 3}));
    EXPECT_FALSE(ListBox::listShown);
    // Shown no more: nothing runs.
    ListBox::runSelected();
    EXPECT_EQ(ran.size(), 2u);
}

TEST_F(PopupList, EntriesAreDrawnAndTheSelectedOneIsMarked) {
    open(3, 10, 10, 20, 1);
    const int32_t h = itemHeight();
    // Black text on white rows; the selected row is coloured, its text white.
    EXPECT_GT(darkPixels(ListBox::window, 1, 1 + h), 20);
    EXPECT_EQ(darkPixels(ListBox::window, 1 + h, 1 + 2 * h), 0);
    EXPECT_GT(darkPixels(ListBox::window, 1 + 2 * h, 1 + 3 * h), 20);
}

TEST_F(PopupList, EscapeAndFocusLossCloseIt) {
    for (const uint32_t message : {W::kWmKeyDown, W::kWmKillFocus}) {
        open(5, 10, 10);
        list(message, W::kVkEscape);
        EXPECT_FALSE(ListBox::listShown) << message;
        EXPECT_TRUE(ran.empty());
    }
    open(5, 10, 10);
    list(W::kWmKeyDown, W::kVkDown);
    EXPECT_TRUE(ListBox::listShown) << "other keys go to the list";
}

TEST_F(PopupList, SelectionStepsAreClampedAndRun) {
    open(4, 10, 10, 20, 1);
    const struct {
        int32_t delta;
        int selected;
    } cases[] = {{1, 2}, {5, 3}, {-10, 0}, {0, 0}};
    for (const auto& c : cases) {
        ListBox::moveSelection(c.delta);
        EXPECT_EQ(list(W::kLbGetCurSel), c.selected) << c.delta;
        EXPECT_EQ(ran.back(), c.selected);
    }
    // Without a selection a step starts from none.
    ListBox::hide();
    open(4, 10, 10);
    ran.clear();
    ListBox::moveSelection(1);
    EXPECT_EQ(ran, (std::vector<int>{0}));
}

TEST_F(PopupList, TheWheelScrollsByTwoEntries) {
    open(100, 10, 10);
    const uintptr_t down = static_cast<uintptr_t>(static_cast<uint16_t>(-W::kWheelDelta)) << 16;
    const uintptr_t up = static_cast<uintptr_t>(W::kWheelDelta) << 16;
    list(W::kWmMouseWheel, down);
    list(W::kWmMouseWheel, down);
    EXPECT_EQ(list(W::kLbGetTopIndex), 4);
    list(W::kWmMouseWheel, up);
    list(W::kWmMouseWheel, up);
    list(W::kWmMouseWheel, up);
    EXPECT_EQ(list(W::kLbGetTopIndex), 0);
    EXPECT_TRUE(ran.empty());
}

TEST_F(PopupList, AnOpenListAndAShownTipGoWithTheMainWindow) {
    open(5, 10, 10);
    ToolTips::show({10, 10}, L"tip", 3000);
    W::destroyWindow(window);
    EXPECT_FALSE(ListBox::listShown);
    EXPECT_EQ(ListBox::window, nullptr);
    EXPECT_TRUE(ListBox::actions.empty());
    EXPECT_FALSE(ToolTips::shown);
    EXPECT_EQ(ToolTips::window, nullptr);
    EXPECT_EQ(ToolTips::timer().id(), 0u);
}

TEST_F(PopupList, AClickInTheMainWindowOnlyClosesTheList) {
    addPanel("panel", {0, 0, 300, 300});
    open(5, 10, 10);
    W::sendMessage(window, W::kWmRButtonDown, W::kMkRButton, W::makeLParam(50, 50));
    EXPECT_TRUE(ListBox::listShown);
    W::sendMessage(window, W::kWmLButtonDown, W::kMkLButton, W::makeLParam(50, 50));
    EXPECT_FALSE(ListBox::listShown);
    EXPECT_TRUE(take().empty()) << "not routed";
    W::sendMessage(window, W::kWmLButtonDown, W::kMkLButton, W::makeLParam(50, 50));
    EXPECT_EQ(take(), (Log{"panel:press"}));
}

TEST_F(Popups, DroppedFilesReachThePanelUnderThePointer) {
    addPanel("left", {0, 0, 100, 200});
    addPanel("right", {100, 0, 100, 200});
    addPanel("refuses", {200, 0, 100, 200}, false);
    const W::DragData files{true, {"/tmp/a.png", "/tmp/b c.wav"}};
    {
        W::SyntheticDrag drag(window, files);
        EXPECT_EQ(drag.moveTo(screen(10, 20)), W::kDropEffectCopy);
        EXPECT_EQ(drag.moveTo(screen(150, 30)), W::kDropEffectCopy);
        EXPECT_EQ(drag.moveTo(screen(250, 30)), W::kDropEffectNone);
        EXPECT_EQ(drag.drop(screen(160, 40)), W::kDropEffectCopy);
    }
    EXPECT_EQ(take(),
              (Log{"left:over 10,20 2", "left:leave", "right:over 50,30 2", "right:leave", "refuses:over 50,30 2",
                   "refuses:leave", "right:over 60,40 2", "right:drop 60,40 /tmp/a.png /tmp/b c.wav", "right:leave"}));

    // Dropped where it entered: the tip goes, and a panel that refuses gets no drop.
    ToolTips::show({10, 10}, L"tip", 0);
    {
        W::SyntheticDrag drag(window, files);
        EXPECT_EQ(drag.drop(screen(20, 5)), W::kDropEffectCopy);
    }
    EXPECT_FALSE(ToolTips::shown);
    EXPECT_EQ(take(), (Log{"left:over 20,5 2", "left:drop 20,5 /tmp/a.png /tmp/b c.wav", "left:leave"}));
    {
        W::SyntheticDrag drag(window, files);
        EXPECT_EQ(drag.drop(screen(220, 5)), W::kDropEffectNone);
    }
    EXPECT_EQ(take(), (Log{"refuses:over 20,5 2", "refuses:leave"}));
}

TEST_F(Popups, ADragThatIsNotFilesOrFindsNoPanelReachesNone) {
    addPanel("panel", {0, 0, 100, 100});
    {
        W::SyntheticDrag text(window, W::DragData{false, {}});
        EXPECT_EQ(text.moveTo(screen(10, 10)), W::kDropEffectNone);
        EXPECT_EQ(text.drop(screen(10, 10)), W::kDropEffectNone);
    }
    EXPECT_TRUE(take().empty());
    {
        // Outside every panel, then left.
        W::SyntheticDrag files(window, W::DragData{true, {"/tmp/a.png"}});
        EXPECT_EQ(files.moveTo(screen(300, 300)), W::kDropEffectNone);
        files.leave();
    }
    EXPECT_TRUE(take().empty());
    {
        // While input is off (an export runs), drops are swallowed.
        Window::WindowService::get()->inputEnabled = false;
        W::SyntheticDrag files(window, W::DragData{true, {"/tmp/a.png"}});
        EXPECT_EQ(files.drop(screen(10, 10)), W::kDropEffectNone);
        Window::WindowService::get()->inputEnabled = true;
    }
    EXPECT_TRUE(take().empty());
}

}  // namespace
