#include "ui/menus/EditMenu.h"

#include <algorithm>
#include <functional>

#include "edit/EditService.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "ui/framework/WindowMenuManager.h"

namespace Menu {

namespace {

using Window::WindowMenuManager;

constexpr int32_t kRight = 0x27;
constexpr int32_t kLeft = 0x25;
constexpr int32_t kHome = 0x24;
constexpr int32_t kEnd = 0x23;
constexpr int32_t kCtrlZ = 0x405A;
constexpr int32_t kCtrlShiftZ = 0x605A;

// Moves the cursor to the frame the function gives for the current scene;
// the edit service holds it to the scene and tells the cursor listeners.
void moveCursor(int32_t (*to)(const Edit::Scene& scene)) {
    Edit::EditService* edit = Edit::EditService::instance();
    if (!edit || !edit->currentScene()) return;
    edit->setCursorFrame(to(*edit->currentScene()));
}

Undo::UndoService* undoService() { return Undo::UndoService::get(); }

}  // namespace

void EditMenu::createMenu() {
    WindowMenuManager& owner = bar();
    {
        // Keys of the submenu's entries are named after the top popup.
        Window::BaseMenu move(menu, L"移動");
        move.label = menu.label;
        struct Entry {
            const wchar_t* label;
            int32_t key;
            int32_t (*to)(const Edit::Scene& scene);
        } entries[] = {
            {L"次のフレームに移動", kRight, [](const Edit::Scene& s) { return s.cursorFrame + 1; }},
            {L"前のフレームに移動", kLeft, [](const Edit::Scene& s) { return s.cursorFrame - 1; }},
            {L"先頭のフレームに移動", kHome, [](const Edit::Scene&) { return 0; }},
            {L"最後のフレームに移動", kEnd, [](const Edit::Scene& s) { return std::max(s.length, 0); }},
        };
        for (const Entry& entry : entries) {
            auto item = move.insertItem(entry.label, [to = entry.to] { moveCursor(to); });
            WindowMenuManager::setShortcut(item, entry.key);
        }
    }
    menu.insertSeparator();

    // A key runs these without the menu's greying: undo and redo stop by
    // themselves at the ends of the history.
    auto item = menu.insertItem(L"元に戻す", [] {
        if (Undo::UndoService* undo = undoService()) (void)undo->undo();
    });
    owner.setEnable(item, [] { return undoService() && undoService()->canUndo(); });
    WindowMenuManager::setShortcut(item, kCtrlZ);
    item = menu.insertItem(L"やり直し", [] {
        if (Undo::UndoService* undo = undoService()) (void)undo->redo();
    });
    owner.setEnable(item, [] { return undoService() && undoService()->canRedo(); });
    WindowMenuManager::setShortcut(item, kCtrlShiftZ);
}

}  // namespace Menu
