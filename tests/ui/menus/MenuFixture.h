#pragma once
// The main window's menu bar over the services its commands use, on a plain
// window that counts the closes posted to it; the file dialogs and questions
// are answered by the tests.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/EventService.h"
#include "core/ServiceHolder.h"
#include "core/TextConvert.h"
#include "edit/EditService.h"
#include "edit/Project.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "platform/window/Menu.h"
#include "platform/window/MessageBox.h"
#include "platform/window/MessageQueue.h"
#include "platform/window/TopLevel.h"
#include "plugin/OutputService.h"
#include "support/LogCapture.h"
#include "support/ScriptedFiles.h"
#include "support/TestFolders.h"
#include "ui/dialogs/EditServiceDialogs.h"
#include "ui/framework/ShortcutList.h"
#include "ui/framework/WindowMenuManager.h"
#include "ui/menus/MenuBar.h"

namespace MenuTest {

namespace W = Platform::window;
using Window::WindowMenu;
using Window::WindowMenuManager;

inline int g_closes = 0;

inline intptr_t recordCloses(W::WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (message == W::kWmClose) {
        ++g_closes;
        return 0;
    }
    return W::defWindowProc(window, message, wParam, lParam);
}

// Questions answered from a queue (OK once it is empty), each text kept.
struct AnsweredBoxes {
    std::deque<int> answers;
    std::vector<std::string> texts;
    W::MessageBoxHook previous;
    AnsweredBoxes() {
        previous = W::setMessageBoxHook([this](const W::MessageBoxRequest& r) {
            texts.push_back(r.text);
            if (answers.empty()) return W::kIdOk;
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }
    ~AnsweredBoxes() { W::setMessageBoxHook(previous); }
};

inline std::string textAt(W::MenuHandle menu, int32_t position) {
    std::string text;
    (void)W::getMenuStringAt(menu, position, text);
    return text.substr(0, text.find('\t'));
}

class MenuFixture : public TestFolders {
protected:
    void SetUp() override {
        TestFolders::SetUp();
        previousDialogs = Edit::EditService::setDialogs(std::make_shared<Dialog::EditServiceDialogs>());
        events.emplace();
        undoService.emplace();
        shortcuts.emplace();
        output.emplace();
        edit.emplace();
        bar.emplace();
        menus.emplace(*bar);
        W::WindowDesc desc;
        desc.title = "Velmo file menu";
        desc.procedure = &recordCloses;
        window = W::createWindow(desc);
        ASSERT_NE(window, nullptr);
        bar->setWindowMenu(window);
        g_closes = 0;
    }
    void TearDown() override {
        menus.reset();
        bar.reset();
        if (window) W::destroyWindow(window);
        edit.reset();
        output.reset();
        shortcuts.reset();
        undoService.reset();
        events.reset();
        Edit::EditService::setDialogs(previousDialogs);
        TestFolders::TearDown();
    }

    W::MenuHandle popup(int32_t position) { return bar->windowMenu[position].menu->menu; }
    W::MenuHandle file() { return popup(WindowMenu::File); }
    W::MenuHandle sub(int32_t position) { return W::getSubMenu(file(), position); }
    // The shortcut registered under the name, or null.
    const Window::Shortcut* registered(const std::string& name) {
        for (const auto& entry : shortcuts->get()->entries)
            if (entry.name == System::utf8ToWide(name)) return &entry;
        return nullptr;
    }
    // Runs the entry at the position of the menu as choosing it does.
    void choose(W::MenuHandle menu, int32_t position) {
        const int32_t id = W::getMenuItemId(menu, position);
        ASSERT_GT(id, 0) << "no command at " << position;
        ASSERT_TRUE(bar->runCommand(id));
    }
    void dispatchPosted() {
        W::Message message;
        while (W::peekMessage(message, window, 0, 0, W::kPmRemove)) W::dispatchMessage(message);
    }
    Edit::EditService& service() { return *edit->get(); }
    std::wstring writeProject(const std::string& name) {
        Edit::Project project;
        project.getOrCreateScene(0)->name = System::utf8ToWide(name);
        const std::wstring path = wide(root_ / (name + ".vpj2"));
        project.saveProjectFile(path);
        return path;
    }

    std::shared_ptr<Edit::EditDialogs> previousDialogs;
    std::optional<System::ServiceHolder<Event::EventService>> events;
    std::optional<System::ServiceHolder<Undo::UndoService>> undoService;
    std::optional<System::ServiceHolder<Window::ShortcutList>> shortcuts;
    std::optional<System::ServiceHolder<Plugin::OutputService>> output;
    std::optional<System::ServiceHolder<Edit::EditService>> edit;
    std::optional<WindowMenuManager> bar;
    std::optional<Menu::MenuBar> menus;
    W::WindowHandle window = nullptr;
    AnsweredBoxes boxes;
    ScriptedFiles files;
    LogCapture log;
};

}  // namespace MenuTest
