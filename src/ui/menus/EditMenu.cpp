#include "ui/menus/EditMenu.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <memory>
#include <utility>

#include "edit/EditCommandTargets.h"
#include "edit/EditService.h"
#include "edit/Object.h"
#include "edit/ObjectCreateCommands.h"
#include "edit/ObjectFlagCommands.h"
#include "edit/ObjectSectionCommands.h"
#include "edit/ObjectSplitCommands.h"
#include "edit/Scene.h"
#include "edit/UndoService.h"
#include "edit/SceneLayer.h"
#include "effect/EffectBase.h"
#include "effect/EffectService.h"
#include "plugin/InputService.h"
#include "render/RenderService.h"
#include "render/RenderTaskType.h"
#include "render/RenderVideoWorker.h"
#include "render/cache/CacheService.h"
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
constexpr int32_t kOpenBracket = 0xDB;   // VK_OEM_4
constexpr int32_t kCloseBracket = 0xDD;  // VK_OEM_6
constexpr int32_t kTab = 0x09;
constexpr int32_t kPeriod = 0xBE;  // VK_OEM_PERIOD
constexpr int32_t kComma = 0xBC;   // VK_OEM_COMMA
constexpr int32_t kF5 = 0x74;
// Image formats of the frame copied to the clipboard.
constexpr int32_t kOpaqueImage = 88;       // B8G8R8X8
constexpr int32_t kTransparentImage = 87;  // B8G8R8A8

EditMenu::Views& views() {
    static EditMenu::Views installed;
    return installed;
}

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

// Renders the frame at the cursor and puts it on the clipboard in the format.
void copyImage(int32_t format) {
    Render::RenderService* render = Render::RenderService::get();
    const Edit::Scene* scene = currentScene();
    if (!render || !scene) return;
    render->video().requestRenderingFrame(Render::kRenderExport, scene->cursorFrame,
                                          [format](int32_t, Media::RenderBuffer& buffer, Anchor::AnchorList*) {
                                              Edit::EditService::copyFrameImage(format, buffer);
                                          });
}

void selectFrameRange(int32_t start, int32_t end) {
    if (views().selectFrameRange) views().selectFrameRange(start, end);
}

// Makes the object the focus object; the focus listeners hear of it only
// when the focus changes.
void setFocusObject(const std::shared_ptr<Edit::Object>& object) {
    Edit::EditService* edit = Edit::EditService::instance();
    if (!edit || !edit->currentScene() || edit->currentScene()->focusObject == object) return;
    auto scope = edit->openSection();
    scope->scene->focusObject = object;
    scope->focusChanged = true;
}

// Focuses the next object under the cursor, layer by layer from the one
// after the focus object's (when the cursor lies on it), wrapping at the last.
void focusObjectAtCursor() {
    const Edit::Scene* scene = currentScene();
    if (!scene) return;
    const int32_t count = std::min(scene->lastUsedLayer, scene->layerCount() - 1) + 1;
    if (count <= 0) return;
    const int32_t cursor = scene->cursorFrame;
    const Edit::Object* focus = scene->focusObject.get();
    int32_t first = 0;
    if (focus && focus->layer >= 0 && focus->start <= cursor && cursor <= focus->end) first = focus->layer + 1;
    for (int32_t i = 0; i < count; ++i) {
        const Edit::SceneLayer& layer = scene->getLayer((first + i) % count);
        const size_t at = layer.lowerBoundByEnd(cursor);
        if (at < layer.objects.size() && layer.objects[at]->start <= cursor) {
            setFocusObject(layer.objects[at]);
            return;
        }
    }
}

// Focuses the object after (step 1) or before (step -1) the focus object on
// its layer and moves the cursor to its start.
void focusNeighbour(int32_t step) {
    Edit::EditService* edit = Edit::EditService::instance();
    const Edit::Scene* scene = currentScene();
    if (!scene || !scene->focusObject || scene->focusObject->layer < 0) return;
    const Edit::Object& focus = *scene->focusObject;
    const Edit::SceneLayer& layer = scene->getLayer(focus.layer);
    std::shared_ptr<Edit::Object> next;
    if (step > 0) {
        const size_t at = layer.lowerBoundByEnd(focus.end + 1);
        if (at < layer.objects.size()) next = layer.objects[at];
    } else {
        const size_t at = layer.upperBoundByStart(focus.start - 1);
        if (at > 0 && at <= layer.objects.size()) next = layer.objects[at - 1];
    }
    if (!next) return;
    setFocusObject(next);
    edit->setCursorFrame(next->start);
}

// Empties the image and audio caches once their queued loads have run and
// the open files, and registers the scripts again, so that edited files take
// effect; the setting panels and the preview refresh when the scope closes.
void clearCaches() {
    Edit::EditService* edit = Edit::EditService::instance();
    if (!edit) return;
    auto scope = edit->openSection();
    scope->effectsChanged = true;
    scope->timeSettingChanged = true;
    scope->colorSettingChanged = true;
    scope->textSettingChanged = true;
    scope->objectChanged = true;
    if (Cache::CacheService* caches = Cache::CacheService::get()) {
        caches->imageCache.store().clear();
        caches->audioCache.store().clear();
    }
    if (Plugin::InputService* input = Plugin::InputService::get()) input->clearFileCache();
    if (Effect::EffectService* effects = Effect::EffectService::get()) effects->registerScripts();
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
            if (c->enabled) owner.setEnable(entry, c->enabled);
            WindowMenuManager::setShortcut(entry, c->key);
        }
        menu.insertSeparator();
    };
    addCommands(std::begin(clipboard), std::end(clipboard));
    addCommands(std::begin(timing), std::end(timing));
    const Command images[] = {
        {L"クリップボードにイメージをコピー", 0, [] { copyImage(kOpaqueImage); }, nullptr},
        {L"クリップボードにイメージをコピー(背景透過)", 0, [] { copyImage(kTransparentImage); }, nullptr},
    };
    addCommands(std::begin(images), std::end(images));
    addCommands(std::begin(sections), std::end(sections));
    addCommands(std::begin(groups), std::end(groups));
    addCommands(std::begin(visibility), std::end(visibility));

    {
        Window::BaseMenu range(menu, L"フレーム範囲選択");
        range.label = menu.label;
        WindowMenuManager::setShortcut(
            range.insertItem(L"現在のフレームを選択開始フレームにする",
                             [] {
                                 if (const Edit::Scene* scene = currentScene()) selectFrameRange(scene->cursorFrame, -1);
                             }),
            kOpenBracket);
        WindowMenuManager::setShortcut(
            range.insertItem(L"現在のフレームを選択終了フレームにする",
                             [] {
                                 if (const Edit::Scene* scene = currentScene()) selectFrameRange(-1, scene->cursorFrame);
                             }),
            kCloseBracket);
        auto clear = range.insertItem(L"フレーム範囲選択を解除", [] { selectFrameRange(-1, -1); });
        owner.setEnable(clear, [] {
            const Edit::Scene* scene = currentScene();
            return scene && scene->selectedStart >= 0 && scene->selectedEnd >= 0;
        });
        WindowMenuManager::setShortcut(clear, 0);
    }
    menu.insertSeparator();

    WindowMenuManager::setShortcut(menu.insertItem(L"現在のフレームのオブジェクトを選択", &focusObjectAtCursor), kTab);
    WindowMenuManager::setShortcut(menu.insertItem(L"次のオブジェクトを選択", [] { focusNeighbour(1); }), kPeriod);
    WindowMenuManager::setShortcut(menu.insertItem(L"前のオブジェクトを選択", [] { focusNeighbour(-1); }), kComma);
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
    menu.insertSeparator();

    WindowMenuManager::setShortcut(menu.insertItem(L"キャッシュを破棄", &clearCaches), kF5);
}

EditMenu::Views EditMenu::setViews(Views next) { return std::exchange(views(), std::move(next)); }

}  // namespace Menu
