// A text editor in the real main window on a screen of its own, typed into
// with xdotool (Latin, accented and Japanese letters), edited with keys the
// way a user does, and read back; its copy reaches the desktop clipboard.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "core/Clipboard.h"
#include "platform/window/TopLevel.h"
#include "support/PumpMessages.h"
#include "ui/controls/EditControl.h"
#include "ui/controls/EditFixture.h"
#include "ui/controls/ScreenKeyboard.h"

namespace {

namespace W = Platform::window;

class EditScreen : public EditWindow {
protected:
    void SetUp() override {
        if (std::getenv("VELMO_OWN_SCREEN") == nullptr) GTEST_SKIP() << "runs on its own screen";
        if (std::getenv("DISPLAY") == nullptr || std::system("command -v xdotool >/dev/null") != 0)
            GTEST_SKIP() << "needs a display and xdotool";
        EditWindow::SetUp();
        stopServices();
        writeFile(appData() / "velmo2.ini", "[Window]\r\nx=200\r\ny=150\r\nw=640\r\nh=400\r\nzoom=0\r\n");
        startServices();
        container.updateChildLayout();
        edit = std::make_unique<Control::EditControl>(container);
        edit->layoutX = 20, edit->layoutY = 20, edit->layoutW = 400, edit->layoutH = 30;
        container.updateChildLayout();
        W::showWindow(service->window, W::kSwShow);
        TestSupport::pumpUntil([&] { return W::isWindowVisible(service->window); }, "the window shown");
        TestSupport::RouterDriver::drawQueued();
    }
    void TearDown() override {
        edit.reset();
        EditWindow::TearDown();
    }
    // xdotool reads the text it types in the UTF-8 locale.
    void xdotool(const std::string& actions) {
        ASSERT_EQ(std::system(("LC_ALL=C.UTF-8 xdotool " + actions).c_str()), 0) << actions;
    }
    std::string centre() {
        W::Point p{edit->fullRect.x + edit->fullRect.w - 10, edit->fullRect.y + edit->fullRect.h / 2};
        W::clientToScreen(service->window, p);
        return std::to_string(p.x) + " " + std::to_string(p.y);
    }

    std::unique_ptr<Control::EditControl> edit;
};

TEST_F(EditScreen, TextTypedIntoTheWindowIsTheEditorsValue) {
    TestSupport::addScreenKeys({0xF6, 0x1003042, 0x1003044, 0x1003046});
    xdotool("mousemove " + centre() + " click 1");
    TestSupport::pumpUntil([&] { return edit->focused; }, "the editor focused by the click");
    const std::wstring typed = L"Hello, wörld! あいう";
    xdotool("type --delay 30 'Hello, wörld! あいう'");
    TestSupport::pumpUntil([&] { return edit->text == typed; }, "the typed text in the editor");
    EXPECT_EQ(typed, edit->text);
    EXPECT_EQ(static_cast<int32_t>(typed.size()), edit->caret);

    // Two Backspaces; Home and Shift+Right twice select "He"; Ctrl+C copies it.
    xdotool("key --delay 30 BackSpace BackSpace Home shift+Right shift+Right ctrl+c");
    TestSupport::pumpUntil([&] { return edit->selectionEnd == 2; }, "the selection");
    EXPECT_EQ(L"Hello, wörld! あ", edit->text);
    EXPECT_EQ(L"He", edit->selectedText());
    std::wstring board;
    TestSupport::pumpUntil([&] { return System::Clipboard::getText(board) && board == L"He"; }, "the copy");
    // Ctrl+End and a paste of it at the end.
    xdotool("key --delay 30 ctrl+End ctrl+v");
    TestSupport::pumpUntil([&] { return edit->text.size() == typed.size(); }, "the paste");
    EXPECT_EQ(L"Hello, wörld! あHe", edit->text);
}

}  // namespace
