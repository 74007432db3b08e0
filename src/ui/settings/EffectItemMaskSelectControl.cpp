#include "ui/settings/EffectItemMaskSelectControl.h"

#include "core/FileName.h"
#include "edit/EditService.h"
#include "edit/Project.h"
#include "edit/Scene.h"
#include "edit/UpdateSection.h"
#include "effect/EffectItemCheck.h"
#include "platform/window/Menu.h"
#include "plugin/InputService.h"
#include "ui/dialogs/FileDialogs.h"
#include "ui/framework/PopupMenu.h"

namespace Component {

EffectItemMaskSelectControl::EffectItemMaskSelectControl(Window::ControlContainer& parent, EffectSetting& owner,
                                                         const std::shared_ptr<Effect::EffectBase>& edited,
                                                         Effect::EffectItemMaskSelect& mask)
    : EffectItemSelectBase(parent, owner, edited, mask),
      nameButton(frame, 0, 0, Window::SettingItemHeaderWidth, 0, Control::TextButtonControl::Centred) {
    nameButton.text = itemLabel(mask);
    nameButton.clickAction = [this](Control::ButtonControl&) { showMaskMenu(); };
    if (mask.fitScene != nullptr) mask.fitScene->shown = mask.sceneId >= 0 ? 1 : 0;
    updateValue();
}

std::shared_ptr<EffectItemBaseControl> EffectItemMaskSelectControl::create(
    Effect::EffectItem& item, Window::ControlContainer& parent, EffectSetting& block,
    const std::shared_ptr<Effect::EffectBase>& effect) {
    auto* mask = item.to<Effect::EffectItemMaskSelect>();
    if (mask == nullptr) return nullptr;
    return std::make_shared<EffectItemMaskSelectControl>(parent, block, effect, *mask);
}

void EffectItemMaskSelectControl::updateValue() {
    std::wstring shown;
    if (item->index < 0 && item->sceneId < 0)
        shown = fileNamePart(item->path);
    else if (item->sceneId < 0)
        shown = optionText(item->options, item->index);
    else if (const Edit::EditService* edit = Edit::EditService::instance())
        shown = edit->getSceneName(item->sceneId);
    showValue(shown);
}

void EffectItemMaskSelectControl::followScene(Edit::UpdateSection& scope) {
    updateValue();
    Effect::EffectItemCheck* fit = item->fitScene;
    const uint8_t shown = item->sceneId >= 0 ? 1 : 0;
    if (fit == nullptr || fit->shown == shown) return;
    scope.effectsChanged = true;
    scope.timeSettingChanged = scope.colorSettingChanged = scope.textSettingChanged = true;
    fit->shown = shown;
}

void EffectItemMaskSelectControl::selectKey(int32_t key) {
    commitWithoutEvent(*this, [this, key](Edit::UpdateSection& scope) {
        item->setListValue(key);
        followScene(scope);
    });
}

void EffectItemMaskSelectControl::setMaskScene(int32_t id) {
    commitWithoutEvent(*this, [this, id](Edit::UpdateSection& scope) {
        item->setSceneValue(id);
        followScene(scope);
    });
}

void EffectItemMaskSelectControl::updateFile(const std::wstring& path) {
    if (path.empty()) return;
    commitWithoutEvent(*this, [this, &path](Edit::UpdateSection& scope) {
        item->path = path;
        System::FileName::expandVariable(item->path);
        item->index = -1;
        item->sceneId = -1;
        followScene(scope);
    });
}

void EffectItemMaskSelectControl::showMaskMenu() {
    Window::PopupMenu menu;
    menu.insertItem(L"ファイルから選択", [this] {
        std::wstring filter;
        if (const Plugin::InputService* input = Plugin::InputService::get())
            filter = input->imageFilter() + input->videoFilter();
        filter += dialogFilter(L"AllFile (*.*)");
        std::wstring path = item->path;
        if (Dialog::openFileDialog(path, filter.c_str())) updateFile(path);
    });
    const Edit::EditService* edit = Edit::EditService::instance();
    if (edit != nullptr) {
        const int32_t editing = edit->currentScene() ? edit->currentScene()->id : 0;
        bool first = true;
        for (const std::shared_ptr<Edit::Scene>& scene : edit->project().getSceneList()) {
            if (scene->id == 0 || scene->id == editing) continue;
            if (first) menu.insertSeparator();
            first = false;
            const Window::BaseMenu::Item entry =
                menu.insertItem(scene->name, [this, id = scene->id] { setMaskScene(id); });
            entry.setRadioCheck();
            if (scene->id == item->sceneId)
                Platform::window::checkMenuItem(entry.menu, static_cast<uint32_t>(entry.id), true);
        }
    }
    menu.show();
}

}  // namespace Component
