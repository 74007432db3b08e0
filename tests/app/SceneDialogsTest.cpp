// The file menu's new project and the scene commands of the running program
// open the real dialogs (answered here through the dialogs' scripted-answer
// hook); what OK applies shows in the footer and in the saved file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/Application.h"
#include "core/FileName.h"
#include "core/TextConvert.h"
#include "edit/EditService.h"
#include "edit/Scene.h"
#include "platform/window/Menu.h"
#include "platform/window/MessageQueue.h"
#include "support/PumpMessages.h"
#include "support/ScriptedBoxes.h"
#include "support/ScriptedDialogs.h"
#include "ui/framework/FooterBar.h"
#include "ui/framework/WindowMenu.h"
#include "ui/framework/WindowService.h"

namespace {

namespace W = Platform::window;
constexpr int32_t kOk = 6;

// The command id of the file menu's entry with the text.
int32_t fileCommand(const std::string& text) {
    Window::WindowService* window = Window::WindowService::get();
    const W::MenuHandle menu = window->windowMenu[Window::WindowMenu::File].menu->menu;
    for (int32_t i = 0; i < W::getMenuItemCount(menu); ++i) {
        std::string shown;
        (void)W::getMenuStringAt(menu, i, shown);
        if (shown.substr(0, shown.find('\t')) == text) return W::getMenuItemId(menu, i);
    }
    return 0;
}

TEST(SceneDialogs, NewProjectFromTheFileMenuTakesTheDialogsSize) {
    char folder[] = "/tmp/velmo2-scene-dialogs-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    setenv("XDG_DATA_HOME", folder, 1);
    System::FileName::resetVariableList(System::utf8ToWide((std::filesystem::current_path() / "velmo2").string()));
    const std::filesystem::path saved = std::filesystem::path(folder) / "new.vpj2";
    ScriptedBoxes boxes;
    ScriptedDialogs dialogs;
    std::wstring footer;
    App::Steps steps = App::programSteps();
    steps.run = [&] {
        Window::WindowService* window = Window::WindowService::get();
        const int32_t command = fileCommand("プロジェクトを新規作成");
        ASSERT_NE(command, 0);
        dialogs.answers.push_back([](W::DialogWindow& d) {
            d.setText(ScriptedDialogs::field(d, "解像度", 0), "1280");
            d.setText(ScriptedDialogs::field(d, "解像度", 1), "720");
            d.press(kOk);
        });
        (void)W::sendMessage(window->window, W::kWmCommand, static_cast<uintptr_t>(command), 0);
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].caption, "プロジェクトを作成");
        EXPECT_EQ(dialogs.shown[0].fields,
                  (std::vector<std::pair<std::string, std::string>>{
                      {"解像度", "1920"}, {"", "1080"}, {"フレームレート", "30"}, {"サンプリングレート", "44100"}}));
        TestSupport::pumpUntil(
            [&] { return window->footer->leftText.find(L"1280x720") != std::wstring::npos; },
            "the footer shows 1280x720");
        footer = window->footer->leftText;
        EXPECT_TRUE(Edit::EditService::instance()->saveProject(System::utf8ToWide(saved.string()), false));
        (void)W::postMessage(window->window, W::kWmClose, 0, 0);
    };
    EXPECT_EQ(App::run(steps), 0);
    for (const wchar_t* part : {L"1280x720", L"30fps", L"44.1khz"})
        EXPECT_NE(footer.find(part), std::wstring::npos) << System::wideToUtf8(footer);
    std::ifstream in(saved, std::ios::binary);
    std::string text(std::istreambuf_iterator<char>(in), {});
    std::erase(text, '\r');
    EXPECT_NE(text.find("video.width=1280\nvideo.height=720\nvideo.rate=30\nvideo.scale=1\naudio.rate=44100"),
              std::string::npos)
        << text;
    System::FileName::resetVariableList();
    std::filesystem::remove_all(folder);
}

}  // namespace
