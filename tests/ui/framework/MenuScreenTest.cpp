// The menu bar on screen, driven with xdotool: opening a popup refreshes it
// first, so a greyed item is passed over and the chosen one runs.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/window/Menu.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/TopLevel.h"
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

    // Click the second top menu, then step to the first enabled item and take it.
    const char* script =
        "w=$(xdotool search --sync --onlyvisible --name '^Velmo menu probe$' | head -1) && "
        "xdotool windowactivate --sync \"$w\" 2>/dev/null; "
        "xdotool mousemove --window \"$w\" 90 12 click 1 && sleep 0.5 && xdotool key Down && sleep 0.2 && "
        "xdotool key Return";
    pid_t driver = 0;
    const char* argv[] = {"sh", "-c", script, nullptr};
    ASSERT_EQ(posix_spawnp(&driver, "sh", nullptr, nullptr, const_cast<char**>(argv), environ), 0);

    // Runs until the chosen command arrives (the test's time limit ends a failure).
    W::Message message;
    while (ran.empty() && W::getMessage(message, nullptr, 0, 0) > 0)
        W::dispatchMessage(message);
    int status = 0;
    waitpid(driver, &status, 0);

    EXPECT_EQ(ran, std::vector<std::string>{"redo"});
    EXPECT_GE(g_refreshes, 1);
    EXPECT_FALSE(W::isMenuItemEnabled(bar.menu, static_cast<uint32_t>(greyed.id)));
    (void)chosen;
    W::destroyWindow(window);
    g_bar = nullptr;
}

}  // namespace
