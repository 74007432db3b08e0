#include "ui/menus/FileMenu.h"

#include <string>
#include <vector>

#include "core/TranslateService.h"
#include "edit/EditService.h"
#include "edit/FileHistory.h"
#include "edit/Project.h"
#include "platform/window/Message.h"
#include "platform/window/MessageQueue.h"
#include "plugin/OutputPlugin.h"
#include "plugin/OutputService.h"
#include "ui/dialogs/FileDialogs.h"
#include "ui/framework/WindowMenuManager.h"

namespace Menu {

namespace {

namespace W = Platform::window;
using Window::WindowMenuManager;

constexpr int32_t kCtrlN = 0x404E;
constexpr int32_t kCtrlO = 0x404F;
constexpr int32_t kCtrlS = 0x4053;
constexpr int32_t kCtrlShiftS = 0x6053;

Edit::EditService* edit() { return Edit::EditService::instance(); }

void openProject() {
    Edit::EditService* service = edit();
    if (!service || !service->confirmDiscard()) return;
    std::wstring path = service->project().path;
    if (!Dialog::openFileDialog(path, Edit::EditService::kProjectFilter)) return;
    (void)service->loadProject(path, false, true);
}

// Opens entry index of a history; the load reports a file that is gone.
void openFromHistory(Edit::FileHistory& (*history)(Edit::EditService&), int32_t index) {
    Edit::EditService* service = edit();
    if (!service) return;
    const std::wstring path = history(*service).getItem(index);
    if (path.empty()) return;
    (void)service->loadProject(path, true, true);
}

std::vector<std::wstring> historyTexts(Edit::FileHistory& (*history)(Edit::EditService&)) {
    Edit::EditService* service = edit();
    return service ? history(*service).getItemList() : std::vector<std::wstring>{};
}

Edit::FileHistory& projects(Edit::EditService& service) { return service.projectHistory(); }
Edit::FileHistory& backups(Edit::EditService& service) { return service.backupHistory(); }

// The close goes through the window's own path, which asks about unsaved changes.
void closeWindow(const WindowMenuManager& bar) {
    if (bar.menuWindow) (void)W::postMessage(bar.menuWindow, W::kWmClose, 0, 0);
}

}  // namespace

void FileMenu::createMenu() {
    WindowMenuManager& owner = bar();

    auto item = menu.insertItem(L"プロジェクトを新規作成", [] {
        if (Edit::EditService* service = edit()) (void)service->createProject();
    });
    WindowMenuManager::setShortcut(item, kCtrlN);
    item = menu.insertItem(L"プロジェクトを開く", openProject);
    WindowMenuManager::setShortcut(item, kCtrlO);

    for (auto history : {&projects, &backups}) {
        Window::BaseMenu sub(menu, history == &projects ? L"最近使ったプロジェクト" : L"バックアップしたプロジェクト");
        owner.insertItemList(
            sub, kHistoryCount, [history](int32_t index) { openFromHistory(history, index); },
            [history] { return historyTexts(history); });
    }
    menu.insertSeparator();

    item = menu.insertItem(L"プロジェクトを保存", [] {
        if (Edit::EditService* service = edit()) (void)service->saveProjectOverwrite();
    });
    WindowMenuManager::setShortcut(item, kCtrlS);
    item = menu.insertItem(L"プロジェクトを別名で保存", [] {
        if (Edit::EditService* service = edit()) (void)service->saveProjectAs();
    });
    WindowMenuManager::setShortcut(item, kCtrlShiftS);
    menu.insertSeparator();

    {
        // The plug-ins known now, in the service's order; the list keeps them
        // until the bar is built again.
        std::vector<std::wstring> names;
        if (const Plugin::OutputService* output = Plugin::OutputService::get())
            for (const auto& plugin : output->plugins()) {
                const Translate::TranslateService* translate = Translate::TranslateService::get();
                names.push_back(translate ? translate->getMenuText(plugin->name) : plugin->name);
            }
        Window::BaseMenu sub(menu, L"ファイル出力");
        auto& list = owner.insertItemList(
            sub, static_cast<int32_t>(names.size()),
            [](int32_t index) {
                Plugin::OutputService* output = Plugin::OutputService::get();
                if (output && index < static_cast<int32_t>(output->plugins().size())) output->outputFile(index);
            },
            [names] { return names; });
        owner.registerShortcuts(list, menu);
    }
    menu.insertSeparator();

    item = menu.insertItem(L"プロジェクトを保存して終了", [&owner] {
        // A failed or cancelled save still closes: the close asks about the changes.
        if (Edit::EditService* service = edit()) (void)service->saveProjectOverwrite();
        closeWindow(owner);
    });
    WindowMenuManager::setShortcut(item, 0);
    item = menu.insertItem(L"終了", [&owner] { closeWindow(owner); });
    WindowMenuManager::setShortcut(item, 0);
}

}  // namespace Menu
