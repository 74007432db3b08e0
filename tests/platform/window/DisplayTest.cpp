// Tests that need the X display (run under xvfb-run by the test command).
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/window/Cursor.h"
#include "platform/window/KeyMap.h"
#include "platform/window/MessageBox.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/Pointer.h"
#include "platform/window/SystemMetrics.h"
#include "platform/window/TopLevel.h"

namespace {
namespace W = Platform::window;

class Display : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no DISPLAY: run under xvfb-run";
    }
};

// Runs the thread's queue for a while, dispatching what arrives.
void pump(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        W::msgWaitForMultipleObjects(0, nullptr, false, 10, W::kQsAllInput);
        W::Message m;
        while (W::peekMessage(m, nullptr, 0, 0, W::kPmRemove)) {
            W::translateMessage(m);
            W::dispatchMessage(m);
        }
    }
}

// Creates the window and shows it; null when it cannot be made.
W::WindowHandle showNewWindow(const W::WindowDesc& desc) {
    W::WindowHandle w = W::createWindow(desc);
    if (w != nullptr) W::showWindow(w, W::kSwShow);
    return w;
}

// Clicks a button of the message box that is open, as the user would.
bool clickBoxButton(int response) {
    bool clicked = false;
    GList* all = gtk_window_list_toplevels();
    for (GList* it = all; it != nullptr; it = it->next) {
        if (!GTK_IS_MESSAGE_DIALOG(it->data) || !gtk_widget_get_visible(GTK_WIDGET(it->data))) continue;
        GtkWidget* button = gtk_dialog_get_widget_for_response(GTK_DIALOG(it->data), response);
        if (button != nullptr) {
            gtk_button_clicked(GTK_BUTTON(button));
            clicked = true;
        }
    }
    g_list_free(all);
    return clicked;
}

// The colour of one screen pixel, from a screenshot of the root window.
std::string screenPixel(int x, int y) {
    char command[128];
    std::snprintf(command, sizeof command, "import -window root -crop 1x1+%d+%d -depth 8 txt:- 2>/dev/null", x, y);
    FILE* p = popen(command, "r");
    if (p == nullptr) return "";
    std::string out;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, p) != nullptr) out += buffer;
    pclose(p);
    // The first line is a comment; the pixel line ends with "#RRGGBB name".
    const auto line = out.find('\n');
    const auto hash = out.find('#', line == std::string::npos ? 0 : line);
    return hash == std::string::npos ? out : out.substr(hash, 7);
}

// Pumps the queue until the screen pixel has the colour, for at most 5 s.
std::string pixelAfterPumping(int x, int y, const std::string& expected) {
    std::string seen;
    for (int i = 0; i < 50; ++i) {
        pump(100);
        gdk_display_sync(gdk_display_get_default());
        seen = screenPixel(x, y);
        if (seen == expected) break;
    }
    return seen;
}

TEST_F(Display, DrawingOutsideExposeShowsOnScreen) {
    W::WindowHandle w = showNewWindow(
        {.title = "draw test", .x = 100, .y = 120, .width = 200, .height = 150, .procedure = W::defWindowProc});
    ASSERT_NE(w, nullptr);
    pump(300);  // mapped and laid out
    W::Rect client;
    ASSERT_TRUE(W::getClientRect(w, client));
    EXPECT_EQ(client.right, 200);
    EXPECT_EQ(client.bottom, 150);

    cairo_t* cr = cairo_create(W::windowSurface(w));
    cairo_set_source_rgb(cr, 1.0, 0.0, 0.0);
    cairo_paint(cr);
    cairo_destroy(cr);
    W::presentWindow(w);
    W::Point origin{0, 0};
    W::clientToScreen(w, origin);
    EXPECT_EQ(pixelAfterPumping(origin.x + 50, origin.y + 50, "#FF0000"), "#FF0000");

    // Drawn and presented with no pumping at all: no expose can have run.
    cr = cairo_create(W::windowSurface(w));
    cairo_set_source_rgb(cr, 0.0, 0.0, 1.0);
    cairo_paint(cr);
    cairo_destroy(cr);
    W::presentWindow(w);
    gdk_display_sync(gdk_display_get_default());
    EXPECT_EQ(screenPixel(origin.x + 50, origin.y + 50), "#0000FF");

    // What was drawn stays after the window is covered and shown again.
    W::showWindow(w, W::kSwHide);
    pump(100);
    W::showWindow(w, W::kSwShow);
    W::Point again{0, 0};
    W::clientToScreen(w, again);
    EXPECT_EQ(pixelAfterPumping(again.x + 10, again.y + 10, "#0000FF"), "#0000FF");
    W::destroyWindow(w);
}

std::vector<W::Message>* g_input = nullptr;
intptr_t inputProc(W::WindowHandle w, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    const bool wanted = message == W::kWmKeyDown || message == W::kWmKeyUp || message == W::kWmChar ||
                        message == W::kWmLButtonDown || message == W::kWmLButtonUp;
    if (wanted && g_input != nullptr) {
        W::Message m;
        m.message = message;
        m.wParam = wParam;
        m.lParam = lParam;
        g_input->push_back(m);
    }
    return W::defWindowProc(w, message, wParam, lParam);
}

TEST_F(Display, KeysAndButtonsBecomeMessages) {
    W::WindowHandle w = showNewWindow({.x = 300, .y = 300, .width = 120, .height = 80, .procedure = inputProc});
    ASSERT_NE(w, nullptr);
    gdk_display_sync(gdk_display_get_default());  // mapped before the pointer comes
    pump(200);
    std::vector<W::Message> input;
    g_input = &input;
    // Real input through the X server, as a user gives it.
    W::Point at{10, 20};
    ASSERT_TRUE(W::clientToScreen(w, at));
    char command[128];
    std::snprintf(command, sizeof command, "xdotool mousemove %d %d click 1 key a", at.x, at.y);
    ASSERT_EQ(std::system(command), 0);
    for (int i = 0; i < 50 && input.size() < 5; ++i) pump(100);
    g_input = nullptr;
    W::destroyWindow(w);
    ASSERT_EQ(input.size(), 5u);
    EXPECT_EQ(input[0].message, W::kWmLButtonDown);
    EXPECT_EQ(input[0].wParam, W::kMkLButton);
    EXPECT_EQ(W::lowWordSigned(input[0].lParam), 10);
    EXPECT_EQ(W::highWordSigned(input[0].lParam), 20);
    EXPECT_EQ(input[1].message, W::kWmLButtonUp);
    EXPECT_EQ(input[1].wParam, 0u);
    EXPECT_EQ(input[2].message, W::kWmKeyDown);
    EXPECT_EQ(input[2].wParam, static_cast<uintptr_t>('A'));
    EXPECT_EQ(input[3].message, W::kWmChar);  // from the translation
    EXPECT_EQ(input[3].wParam, static_cast<uintptr_t>('a'));
    EXPECT_EQ(input[4].message, W::kWmKeyUp);
    EXPECT_EQ(static_cast<uint32_t>(input[4].lParam) >> 30, 3u);  // was down, going up
}

struct SeenInput {
    uint32_t message;
    uintptr_t wParam;
    bool ctrlDown;  // the key state as the message is handled
};
std::vector<SeenInput>* g_seen = nullptr;
intptr_t modifierProc(W::WindowHandle w, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    const bool wanted = message == W::kWmKeyDown || message == W::kWmKeyUp || message == W::kWmLButtonDown;
    if (wanted && g_seen != nullptr)
        g_seen->push_back({message, wParam, (W::getKeyState(W::kVkControl) & 0x8000) != 0});
    return W::defWindowProc(w, message, wParam, lParam);
}

// Ctrl pressed in the window and let go in another one (a chooser that
// Ctrl+S opened takes the release): the next click in the window is a plain
// click, after the key-up the window missed.
TEST_F(Display, AModifierLetGoInAnotherWindowIsLetGoHereToo) {
    W::WindowHandle w = showNewWindow(
        {.title = "modifier-here", .x = 300, .y = 300, .width = 120, .height = 80, .procedure = modifierProc});
    ASSERT_NE(w, nullptr);
    GtkWidget* other = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(other), "modifier-elsewhere");
    gtk_window_set_default_size(GTK_WINDOW(other), 120, 80);
    gtk_window_move(GTK_WINDOW(other), 600, 300);
    gtk_widget_show_all(other);
    gdk_display_sync(gdk_display_get_default());
    pump(200);
    std::vector<SeenInput> seen;
    g_seen = &seen;
    W::Point at{10, 20};
    ASSERT_TRUE(W::clientToScreen(w, at));
    char command[320];
    std::snprintf(command, sizeof command,
                  "xdotool search --name '^modifier-here$' windowfocus --sync keydown ctrl "
                  "search --name '^modifier-elsewhere$' windowfocus --sync keyup ctrl mousemove %d %d click 1",
                  at.x, at.y);
    const int ran = std::system(command);
    for (int i = 0; i < 50 && (seen.empty() || seen.back().message != W::kWmLButtonDown); ++i) pump(100);
    g_seen = nullptr;
    gtk_widget_destroy(other);
    W::destroyWindow(w);
    ASSERT_EQ(ran, 0);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].message, W::kWmKeyDown);
    EXPECT_EQ(seen[0].wParam, W::kVkControl);
    EXPECT_EQ(seen[1].message, W::kWmKeyUp);
    EXPECT_EQ(seen[1].wParam, W::kVkControl);
    EXPECT_EQ(seen[2].message, W::kWmLButtonDown);
    EXPECT_EQ(seen[2].wParam & W::kMkControl, 0u);
    EXPECT_FALSE(seen[2].ctrlDown);
}

std::vector<W::WindowPos>* g_placements = nullptr;
intptr_t placementProc(W::WindowHandle w, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (message == W::kWmGetMinMaxInfo) {
        reinterpret_cast<W::MinMaxInfo*>(lParam)->minTrackSize = {256, 256};
        return 0;
    }
    if (message == W::kWmWindowPosChanged && g_placements != nullptr)
        g_placements->push_back(*reinterpret_cast<const W::WindowPos*>(lParam));
    return W::defWindowProc(w, message, wParam, lParam);
}

TEST_F(Display, PlacementChangesAndTheMinimumSize) {
    std::vector<W::WindowPos> placements;
    g_placements = &placements;
    W::WindowHandle w = showNewWindow({.x = 40, .y = 50, .width = 400, .height = 300, .procedure = placementProc});
    ASSERT_NE(w, nullptr);
    pump(200);
    W::moveWindow(w, 70, 80, 420, 310);
    for (int i = 0; i < 50; ++i) {
        pump(100);
        if (!placements.empty() && placements.back().x == 70 && placements.back().cx == 420) break;
    }
    ASSERT_FALSE(placements.empty());
    EXPECT_EQ(placements.back().x, 70);
    EXPECT_EQ(placements.back().y, 80);
    EXPECT_EQ(placements.back().cx, 420);
    EXPECT_EQ(placements.back().cy, 310);
    W::Rect outer;
    ASSERT_TRUE(W::getWindowRect(w, outer));
    EXPECT_EQ(outer.right - outer.left, 420);

    // Smaller than the procedure's minimum tracking size is not possible.
    W::moveWindow(w, 70, 80, 100, 100);
    W::Rect client{};
    for (int i = 0; i < 20; ++i) {
        pump(50);
        W::getClientRect(w, client);
    }
    EXPECT_GE(client.right, 256);
    EXPECT_GE(client.bottom, 256);
    g_placements = nullptr;
    W::destroyWindow(w);
}

int g_ticks = 0;
void clickCancelOnThirdTick(W::WindowHandle, uint32_t, uintptr_t, uint32_t) {
    if (++g_ticks == 3) clickBoxButton(W::kIdCancel);
}

TEST_F(Display, WindowlessTimerFiresInsideAShownBoxsLoop) {
    g_ticks = 0;
    const uintptr_t id = W::setTimer(nullptr, 0, 30, clickCancelOnThirdTick);
    const int answer = W::messageBox(nullptr, "Continue?", "Velmo Kirta2", W::kMbOkCancel | W::kMbIconWarning);
    W::killTimer(nullptr, id);
    EXPECT_EQ(answer, W::kIdCancel);
    EXPECT_EQ(g_ticks, 3);
}

TEST_F(Display, QuitWhileABoxIsOpenClosesItAndIsKept) {
    const uintptr_t id =
        W::setTimer(nullptr, 0, 20, [](W::WindowHandle, uint32_t, uintptr_t, uint32_t) { W::postQuitMessage(4); });
    EXPECT_EQ(W::messageBox(nullptr, "text", "title", W::kMbOk | W::kMbIconError), W::kIdOk);
    W::killTimer(nullptr, id);
    W::Message m;
    ASSERT_TRUE(W::peekMessage(m, nullptr, W::kWmQuit, W::kWmQuit, W::kPmRemove));
    EXPECT_EQ(m.wParam, 4u);
}

TEST(MessageBox, ScriptedAnswerReplacesTheBox) {
    W::MessageBoxRequest seen{};
    auto previous = W::setMessageBoxHook([&](const W::MessageBoxRequest& r) {
        seen = r;
        return W::kIdCancel;
    });
    EXPECT_EQ(W::messageBox(nullptr, "Discard?", "Velmo Kirta2", W::kMbOkCancel | W::kMbIconWarning), W::kIdCancel);
    W::setMessageBoxHook(previous);
    EXPECT_EQ(seen.text, "Discard?");
    EXPECT_EQ(seen.style, W::kMbOkCancel | W::kMbIconWarning);
}

TEST_F(Display, DesktopDpiFollowsTheDisplaysResolution) {
    W::getDpiForSystem();  // starts GTK
    GtkSettings* settings = gtk_settings_get_default();
    ASSERT_NE(settings, nullptr);
    const char* scale = std::getenv("GDK_SCALE");
    const char* dpiScale = std::getenv("GDK_DPI_SCALE");
    if (scale != nullptr || dpiScale != nullptr) GTEST_SKIP() << "the desktop's variables override the display";
    gint old = 0;
    g_object_get(settings, "gtk-xft-dpi", &old, nullptr);
    g_object_set(settings, "gtk-xft-dpi", 144 * 1024, nullptr);
    EXPECT_EQ(W::desktopDpi(), 144u);
    setenv("GDK_DPI_SCALE", "1.5", 1);  // the variable overrides the display
    EXPECT_EQ(W::desktopDpi(), 144u);
    setenv("GDK_DPI_SCALE", "2", 1);
    EXPECT_EQ(W::desktopDpi(), 192u);
    unsetenv("GDK_DPI_SCALE");
    g_object_set(settings, "gtk-xft-dpi", old, nullptr);
}

TEST_F(Display, SystemSettingsAndCursors) {
    EXPECT_GT(W::getDoubleClickTime(), 0u);
    EXPECT_GE(W::getSystemMetrics(W::kSmCxDrag), 1);
    EXPECT_GT(W::getSystemMetrics(W::kSmCxScreen), 0);
    EXPECT_GE(W::getDpiForSystem(), 72u);
    EXPECT_NE(W::getCaretBlinkTime(), 0u);
    W::CursorHandle arrow = W::loadSystemCursor(W::kIdcArrow);
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(W::loadSystemCursor(W::kIdcArrow), arrow);  // loaded once
    EXPECT_EQ(W::loadSystemCursor(12345), nullptr);
    const uint8_t andMask[4 * 2] = {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00};
    const uint8_t xorMask[4 * 2] = {0x00, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00};
    EXPECT_NE(W::createMonochromeCursor(32, 2, 16, 1, andMask, xorMask), nullptr);
}

TEST_F(Display, InputTimingsFollowTheDesktopSettings) {
    W::getDpiForSystem();  // starts GTK
    GtkSettings* settings = gtk_settings_get_default();
    ASSERT_NE(settings, nullptr);
    gint oldTime = 0, oldThreshold = 0, oldBlinkTime = 0;
    gboolean oldBlink = TRUE;
    g_object_get(settings, "gtk-double-click-time", &oldTime, "gtk-dnd-drag-threshold", &oldThreshold,
                 "gtk-cursor-blink-time", &oldBlinkTime, "gtk-cursor-blink", &oldBlink, nullptr);
    g_object_set(settings, "gtk-double-click-time", 777, "gtk-dnd-drag-threshold", 9, "gtk-cursor-blink-time", 1600,
                 "gtk-cursor-blink", TRUE, nullptr);
    Platform::os::InputTimings timings;
    ASSERT_EQ(W::inputTimings(timings), Platform::kOk);
    EXPECT_EQ(timings.doubleClickTime, 777);
    EXPECT_EQ(timings.dragWidth, 9);
    EXPECT_EQ(timings.dragHeight, 9);
    EXPECT_EQ(timings.caretBlinkTime, 800);  // half of the on-and-off cycle
    EXPECT_GE(timings.keyboardDelay, 0);
    EXPECT_LE(timings.keyboardDelay, 3);
    EXPECT_GE(timings.keyboardSpeed, 0);
    EXPECT_LE(timings.keyboardSpeed, 31);
    // A caret that does not blink is shown for good, never for no time.
    g_object_set(settings, "gtk-cursor-blink", FALSE, nullptr);
    ASSERT_EQ(W::inputTimings(timings), Platform::kOk);
    EXPECT_GT(timings.caretBlinkTime, 1000000);
    g_object_set(settings, "gtk-double-click-time", oldTime, "gtk-dnd-drag-threshold", oldThreshold,
                 "gtk-cursor-blink-time", oldBlinkTime, "gtk-cursor-blink", oldBlink, nullptr);
}

TEST_F(Display, PointerWarpsAndTheScreenIsRead) {
    ASSERT_TRUE(W::setCursorPos(123, 45));
    gdk_display_sync(gdk_display_get_default());
    W::Point at;
    ASSERT_TRUE(W::getCursorPos(at));
    EXPECT_EQ(at.x, 123);
    EXPECT_EQ(at.y, 45);
    uint8_t rgb[3] = {1, 2, 3};
    EXPECT_TRUE(W::screenPixel(0, 0, rgb));
}

}  // namespace
