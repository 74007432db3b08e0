#include "ui/menus/EditMenu.h"

#include <algorithm>
#include <functional>
#include <iterator>

#include "edit/EditCommandTargets.h"
#include "edit/EditService.h"
#include "edit/Object.h"
#include "edit/ObjectCreateCommands.h"
#include "edit/ObjectFlagCommands.h"
#include "edit/ObjectSectionCommands.h"
#include "edit/ObjectSplitCommands.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "effect/EffectBase.h"
#include "ui/framework/WindowMenuManager.h"

namespace Menu {

namespace {

using Window::WindowMenuManager;

constexpr int32_t kRight = 0x27;
constexpr int32_t kLeft = 0x25;
constexpr int32_t kHome = 0x24;
constexpr int32_t kEnd = 0x23;
constexpr int32_t kDown = 0x28;
constexpr int32_t kUp = 0x26;
constexpr int32_t kP = 0x50;
constexpr int32_t kCtrlG = 0x4047;
constexpr int32_t kCtrlShiftG = 0x6047;
constexpr int32_t kCtrlX = 0x4058;
constexpr int32_t kCtrlC = 0x4043;
constexpr int32_t kCtrlV = 0x4056;
constexpr int32_t kDelete = 0x2E;
constexpr int32_t kS = 0x53;
constexpr int32_t kCtrlD = 0x4044;
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

const Edit::Scene* currentScene() {
    const Edit::EditService* edit = Edit::EditService::instance();
    return edit && edit->currentScene() ? edit->currentScene().get() : nullptr;
}

// The selection, or the focus object while it lies on a layer.
bool targetsExist() {
    const Edit::Scene* scene = currentScene();
    return scene && !Edit::EditCommand::getTargets(*scene).empty();
}

// Runs an object command when the edit service is there.
void runCommand(void (*command)()) {
    if (Edit::EditService::instance()) command();
}

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
            void (*run)();
        } entries[] = {
            {L"次のフレームに移動", kRight, [] { moveCursor([](const Edit::Scene& s) { return s.cursorFrame + 1; }); }},
            {L"前のフレームに移動", kLeft, [] { moveCursor([](const Edit::Scene& s) { return s.cursorFrame - 1; }); }},
            {L"次のセクションに移動", kDown, [] { runCommand(&Edit::EditCommand::moveCursorToNextSection); }},
            {L"前のセクションに移動", kUp, [] { runCommand(&Edit::EditCommand::moveCursorToPrevSection); }},
            {L"先頭のフレームに移動", kHome, [] { moveCursor([](const Edit::Scene&) { return 0; }); }},
            {L"最後のフレームに移動", kEnd,
             [] { moveCursor([](const Edit::Scene& s) { return std::max(s.length, 0); }); }},
            {L"指定時間に移動", 0, [] { runCommand(&Edit::EditCommand::showMoveTimeDialog); }},
        };
        for (const Entry& entry : entries) {
            auto item = move.insertItem(entry.label, entry.run);
            WindowMenuManager::setShortcut(item, entry.key);
        }
    }
    menu.insertSeparator();

    // The object commands act on the targets of the current scene.
    struct Command {
        const wchar_t* label;
        int32_t key;
        void (*run)();
        bool (*enabled)();
    };
    const Command clipboard[] = {
        {L"オブジェクトを切り取り", kCtrlX, &Edit::EditCommand::cutObject, &targetsExist},
        {L"オブジェクトをコピー", kCtrlC, &Edit::EditCommand::copyObject, &targetsExist},
        {L"オブジェクトを貼り付け", kCtrlV, [] { Edit::EditCommand::pasteObject(); },
         [] { return Edit::EditService::instance() && Edit::EditCommand::canPaste(); }},
        {L"オブジェクトを削除", kDelete, &Edit::EditCommand::deleteObject, &targetsExist},
    };
    const Command timing[] = {
        {L"オブジェクトを分割", kS,
         [] {
             if (const Edit::Scene* scene = currentScene()) Edit::EditCommand::splitObject(scene->cursorFrame);
         },
         [] {
             const Edit::Scene* scene = currentScene();
             if (!scene) return false;
             for (const auto& o : Edit::EditCommand::getTargets(*scene))
                 if (Edit::EditCommand::canSplitAt(*o, scene->cursorFrame)) return true;
             return false;
         }},
        {L"オブジェクトを複製", kCtrlD, &Edit::EditCommand::duplicateObject, &targetsExist},
        {L"オブジェクトの長さを変更", 0, &Edit::EditCommand::changeObjectLength, &targetsExist},
    };
    const Command sections[] = {
        {L"オブジェクトの中間点を追加", kP,
         [] {
             if (const Edit::Scene* scene = currentScene()) Edit::EditCommand::createSection(scene->cursorFrame);
         },
         [] {
             const Edit::Scene* scene = currentScene();
             return scene && Edit::EditCommand::canCreateSectionAt(*scene, scene->cursorFrame);
         }},
        {L"オブジェクトの中間点を削除", 0,
         [] {
             if (const Edit::Scene* scene = currentScene()) Edit::EditCommand::deleteSection(scene->cursorFrame);
         },
         [] {
             const Edit::Scene* scene = currentScene();
             return scene && Edit::EditCommand::canDeleteSectionAt(*scene, scene->cursorFrame);
         }},
    };
    const Command groups[] = {
        {L"オブジェクトのグループ化", kCtrlG, &Edit::EditCommand::setGroup,
         [] {
             const Edit::Scene* scene = currentScene();
             return scene && scene->selection.objects.size() >= 2;
         }},
        {L"オブジェクトのグループ解除", kCtrlShiftG, &Edit::EditCommand::clearGroup,
         [] {
             const Edit::Scene* scene = currentScene();
             return scene && Edit::EditCommand::canClearGroup(*scene);
         }},
    };
    // All targets take the opposite of the first target's state.
    const Command visibility[] = {
        {L"オブジェクトの表示・非表示", 0,
         [] {
             const Edit::Scene* scene = currentScene();
             if (!scene) return;
             const auto targets = Edit::EditCommand::getTargets(*scene);
             if (targets.empty() || targets.front()->effects.empty()) return;
             Edit::EditCommand::setEnableObject(targets, targets.front()->effects.front()->disabled != 0);
         },
         &targetsExist},
    };
    auto addCommands = [&](const Command* first, const Command* last) {
        for (const Command* c = first; c != last; ++c) {
            auto entry = menu.insertItem(c->label, [run = c->run] { runCommand(run); });
            owner.setEnable(entry, c->enabled);
            WindowMenuManager::setShortcut(entry, c->key);
        }
        menu.insertSeparator();
    };
    addCommands(std::begin(clipboard), std::end(clipboard));
    addCommands(std::begin(timing), std::end(timing));
    addCommands(std::begin(sections), std::end(sections));
    addCommands(std::begin(groups), std::end(groups));
    addCommands(std::begin(visibility), std::end(visibility));

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
