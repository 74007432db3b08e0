// The menu bar on screen, driven with xdotool: opening a popup refreshes it
// first, so a greyed item is passed over and the chosen one runs.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <csignal>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/window/Menu.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/TopLevel.h"
#include "ui/framework/PopupMenu.h"
#include "ui/framework/WindowMenuManager.h"

extern char** environ;

namespace {

namespace W = Platform::window;
using Window::WindowMenu;
using Window::WindowMenuManager;

WindowMenuManager* g_bar = nullptr;
int g_refreshes = 0;

intptr_t procedure(W::WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (message == 0x0117) {
        ++g_refreshes;
        g_bar->refresh();
        return 0;
    }
    if (message == W::kWmCommand && lParam == 0) {
        g_bar->runCommand(static_cast<int32_t>(wParam & 0xFFFF));
        return 0;
    }
    return W::defWindowProc(window, message, wParam, lParam);
}

TEST(MenuScreen, APopupOpenedWithTheMouseIsRefreshedAndRunsTheChosenItem) {
    if (std::getenv("DISPLAY") == nullptr || std::system("command -v xdotool >/dev/null") != 0)
        GTEST_SKIP() << "needs a display and xdotool";
    WindowMenuManager bar;
    g_bar = &bar;
    W::WindowDesc desc;
    desc.title = "Velmo menu probe";
    desc.width = 400;
    desc.height = 300;
    desc.procedure = &procedure;
    W::WindowHandle window = W::createWindow(desc);
    ASSERT_NE(window, nullptr);
    bar.setWindowMenu(window);

    std::vector<std::string> ran;
    Window::BaseMenu& edit = *bar.windowMenu[WindowMenu::Edit].menu;
    auto greyed = edit.insertItem(L"元に戻す", [&] { ran.push_back("undo"); });
    auto chosen = edit.insertItem(L"やり直し", [&] { ran.push_back("redo"); });
    bool canUndo = true;
    bar.setEnable(greyed, [&] { return canUndo; });
    canUndo = false;  // only the refresh on opening greys it
    W::showWindow(window, W::kSwShow);

    // Click the second top menu, then step to the first enabled item and take
    // it, again until the test has what it waits for: a click that comes
    // before the bar is on screen, or keys that come before the popup, reach
    // the window and do nothing, and the next round clicks again.
    const char* script =
        "w=$(xdotool search --sync --onlyvisible --name '^Velmo menu probe$' | head -1) && "
        "xdotool windowactivate --sync \"$w\" 2>/dev/null; "
        "while :; do xdotool mousemove --window \"$w\" 90 12 click 1; sleep 0.5; "
        "xdotool key Down Return; sleep 0.5; done";
    pid_t driver = 0;
    const char* argv[] = {"sh", "-c", script, nullptr};
    ASSERT_EQ(posix_spawnp(&driver, "sh", nullptr, nullptr, const_cast<char**>(argv), environ), 0);

    // Runs until the chosen command arrives (the test's time limit ends a failure).
    W::Message message;
    while (ran.empty() && W::getMessage(message, nullptr, 0, 0) > 0) W::dispatchMessage(message);
    kill(driver, SIGTERM);
    int status = 0;
    waitpid(driver, &status, 0);

    EXPECT_EQ(ran, std::vector<std::string>{"redo"});
    EXPECT_GE(g_refreshes, 1);
    EXPECT_FALSE(W::isMenuItemEnabled(bar.menu, static_cast<uint32_t>(greyed.id)));
    (void)chosen;
    W::destroyWindow(window);
    g_bar = nullptr;
}

TEST(MenuScreen, AContextMenuOpensAtTheCursorAndReturnsTheChosenCommand) {
    if (std::getenv("DISPLAY") == nullptr || std::system("command -v xdotool >/dev/null") != 0)
        GTEST_SKIP() << "needs a display and xdotool";
    W::WindowDesc desc;
    desc.title = "Velmo popup probe";
    desc.width = 300;
    desc.height = 200;
    desc.procedure = &W::defWindowProc;
    W::WindowHandle window = W::createWindow(desc);
    ASSERT_NE(window, nullptr);
    W::showWindow(window, W::kSwShow);
    // Until the window is on screen (its first size message).
    W::Message message;
    while (!W::isWindowVisible(window) && W::getMessage(message, nullptr, 0, 0) > 0) W::dispatchMessage(message);

    Window::PopupMenu popup;
    std::vector<std::string> ran;
    auto greyed = popup.insertItem(L"切り取り", [&] { ran.push_back("cut"); });
    popup.insertItem(L"コピー", [&] { ran.push_back(Window::PopupMenu::inMenuCommand ? "copy in menu" : "copy"); });
    W::enableMenuItem(popup.menu, static_cast<uint32_t>(greyed.id), false);
    Window::PopupMenu::owner = window;

    // The first enabled item, taken with Return, again until the popup has
    // closed (keys that come before it opens reach the window and do nothing).
    const char* script =
        "w=$(xdotool search --sync --onlyvisible --name '^Velmo popup probe$' | head -1) && "
        "while :; do sleep 0.3; xdotool key Down Return; done";
    pid_t driver = 0;
    const char* argv[] = {"sh", "-c", script, nullptr};
    ASSERT_EQ(posix_spawnp(&driver, "sh", nullptr, nullptr, const_cast<char**>(argv), environ), 0);
    const int32_t chosen = popup.show();
    kill(driver, SIGTERM);
    int status = 0;
    waitpid(driver, &status, 0);
    Window::PopupMenu::owner = nullptr;

    EXPECT_EQ(chosen, 40001);
    EXPECT_EQ(ran, std::vector<std::string>{"copy in menu"});
    W::destroyWindow(window);
}

}  // namespace
