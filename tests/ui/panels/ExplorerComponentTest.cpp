// The media explorer panels in a main window, driven through the input
// router: their names and placements by index, the header's buttons and
// address box (Enter opens what it holds; a bookmark's name shows in place
// of its folder's path), the bookmark menu with its name dialog, and the
// bookmarks read by the first panel when it is built and written when it goes.
#include "ui/panels/ExplorerComponent.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "core/EventService.h"
#include "core/TextConvert.h"
#include "platform/shell/FolderReader.h"
#include "platform/window/DialogWindow.h"
#include "platform/window/KeyMap.h"
#include "platform/window/Menu.h"
#include "platform/window/TopLevel.h"
#include "PanelFixture.h"
#include "support/RouterDriver.h"
#include "support/ScriptedDialogs.h"
#include "ui/panels/ExplorerBookmarks.h"

namespace {

namespace W = Platform::window;
using Component::ExplorerBookmarks;
using TestSupport::Input;

class ExplorerPanel : public PanelWindow {
protected:
    void SetUp() override {
        PanelWindow::SetUp();
        if (IsSkipped()) return;
        media = root_ / "media";
        std::filesystem::create_directories(media / "clips");
        std::filesystem::create_directories(media / "stills");
        writeFile(media / "clips" / "a.png", "x");
        writeFile(appData() / "explorer.ini",
                  "[bookmark.0]\r\nname=Clips\r\npath=" + (media / "clips").string() + "\r\n");
        ExplorerBookmarks::list().clear();
    }
    void TearDown() override {
        W::setMenuAnswerHook({});
        second.reset();
        first.reset();
        ExplorerBookmarks::list().clear();
        PanelWindow::TearDown();
    }

    void click(const Window::WindowControl& control) {
        const int32_t x = control.visibleRect.x + control.visibleRect.w / 2;
        const int32_t y = control.visibleRect.y + control.visibleRect.h / 2;
        driver.run({{Input::Move, x, y}, {Input::Press, x, y}, {Input::Release, x, y}});
    }
    // Enter in the first panel's address box holding the text.
    void enterAddress(const std::wstring& text) {
        click(first->address);
        first->address.setText(text);
        Window::WindowMouseService* router = Window::WindowMouseService::get();
        router->dispatch(router->window, W::kWmKeyDown, W::kVkReturn, 0);
    }
    // A right click on the control, choosing the menu item with the label.
    void contextMenu(const Window::WindowControl& control, const std::string& choose) {
        W::setMenuAnswerHook([choose](W::MenuHandle menu, const W::Point&) -> uint32_t {
            for (int32_t i = 0; i < W::getMenuItemCount(menu); ++i) {
                std::string text;
                (void)W::getMenuStringAt(menu, i, text);
                if (text == choose) return static_cast<uint32_t>(W::getMenuItemId(menu, i));
            }
            return 0;
        });
        Window::WindowMouseService* router = Window::WindowMouseService::get();
        W::Point p{control.visibleRect.x + 2, control.visibleRect.y + 2};
        W::clientToScreen(router->window, p);
        router->dispatch(router->window, W::kWmContextMenu, 0, W::makeLParam(p.x, p.y));
        W::setMenuAnswerHook({});
    }
    std::wstring shown() const { return System::utf8ToWide(first->host.folder()); }
    std::wstring wide(const std::filesystem::path& path) const { return System::utf8ToWide(path.string()); }

    std::filesystem::path media;
    std::unique_ptr<Component::ExplorerComponent> first, second;
};

TEST_F(ExplorerPanel, HeaderButtonsAddressBoxAndSharedBookmarks) {
    first = std::make_unique<Component::ExplorerComponent>(0);
    second = std::make_unique<Component::ExplorerComponent>(1);
    service->updateLayout();
    EXPECT_EQ(*first->title, L"メディアエクスプローラー:1");
    EXPECT_EQ(first->sectionName(), "Window.explorer:1");
    EXPECT_EQ(second->sectionName(), "Window.explorer:2");
    EXPECT_TRUE(first->shown());
    EXPECT_FALSE(second->shown()) << "only the first shows at first";
    ASSERT_EQ(ExplorerBookmarks::list(), (ExplorerBookmarks::List{{L"Clips", wide(media / "clips")}}))
        << "the first panel read the file";
    ASSERT_TRUE(first->host.initialized);
    EXPECT_EQ(shown(), System::utf8ToWide(Platform::shell::desktopFolder())) << "no folder kept: the desktop";

    enterAddress(wide(media / "clips"));
    EXPECT_EQ(shown(), wide(media / "clips"));
    EXPECT_EQ(first->address.text, L"Clips") << "the bookmark's name stands for its folder";
    click(first->upButton);
    EXPECT_EQ(shown(), wide(media));
    EXPECT_EQ(first->address.text, wide(media));
    click(first->backButton);
    EXPECT_EQ(shown(), wide(media / "clips"));
    click(first->forwardButton);
    EXPECT_EQ(shown(), wide(media));
    click(first->forwardButton);
    EXPECT_EQ(shown(), wide(media)) << "nothing further ahead";

    // A bookmark for the shown folder through the panel's menu and its name dialog.
    enterAddress(wide(media / "stills"));
    {
        ScriptedDialogs dialogs;
        dialogs.answers.push_back([](W::DialogWindow& d) {
            d.setText(ScriptedDialogs::nthField(d, 0), "Pictures");
            d.press(W::kDialogIdOk);
        });
        contextMenu(first->backButton, "ブックマークに追加");
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].caption, "ブックマークの追加");
        ASSERT_EQ(dialogs.shown[0].fields.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].fields[0].second, "stills") << "the folder's name suggested";
    }
    EXPECT_EQ(first->address.text, L"Pictures") << "the bookmark event renamed the address";
    // Enter on a bookmark's name is no path: the desktop shows.
    enterAddress(first->address.text);
    EXPECT_EQ(shown(), System::utf8ToWide(Platform::shell::desktopFolder()));

    // The first panel writes the list when it goes, in the list's order.
    first.reset();
    EXPECT_EQ(readFile(appData() / "explorer.ini"),
              "[bookmark.0]\r\nname=Clips\r\npath=" + (media / "clips").string() +
                  "\r\n[bookmark.1]\r\nname=Pictures\r\npath=" + (media / "stills").string() + "\r\n");
}

TEST_F(ExplorerPanel, OnlyTheFirstPanelReadsAndWritesTheBookmarks) {
    second = std::make_unique<Component::ExplorerComponent>(1);
    EXPECT_TRUE(ExplorerBookmarks::list().empty());
    ExplorerBookmarks::add(ExplorerBookmarks::list(), L"Other", L"/other");
    second.reset();
    EXPECT_EQ(readFile(appData() / "explorer.ini").find("Other"), std::string::npos);
}

}  // namespace
