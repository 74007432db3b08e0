#include "ui/settings/EffectItemSceneControl.h"

#include "edit/EditService.h"
#include "edit/Project.h"
#include "edit/Scene.h"
#include "platform/window/Menu.h"
#include "platform/window/SystemMetrics.h"
#include "platform/window/TopLevel.h"
#include "ui/framework/PopupMenu.h"
#include "ui/framework/StyleMetrics.h"
#include "ui/framework/ToolTips.h"
#include "ui/settings/ItemControlText.h"

namespace Component {

EffectItemSceneControl::EffectItemSceneControl(Window::ControlContainer& parent, EffectSetting& owner,
                                               const std::shared_ptr<Effect::EffectBase>& edited,
                                               Effect::EffectItemInteger& scene)
    : EffectItemControl(parent, owner, edited, scene, Window::SettingItemRowHeight),
      nameButton(frame, 0, 0, Window::SettingItemHeaderWidth, 0, Control::TextButtonControl::Centred),
      valueText(frame, Window::SettingItemHeaderWidth + Window::SettingItemMarginWidth, 0, 0, 0, {},
                Control::TextControl::LeftEllipsis) {
    nameButton.text = itemLabel(scene);
    nameButton.clickAction = [this](Control::ButtonControl&) { showSceneMenu(); };
    updateValue();
}

std::shared_ptr<EffectItemBaseControl> EffectItemSceneControl::create(Effect::EffectItem& item,
                                                                      Window::ControlContainer& parent,
                                                                      EffectSetting& block,
                                                                      const std::shared_ptr<Effect::EffectBase>& effect) {
    auto* scene = item.to<Effect::EffectItemInteger>();
    if (scene == nullptr) return nullptr;
    return std::make_shared<EffectItemSceneControl>(parent, block, effect, *scene);
}

void EffectItemSceneControl::updateValue() {
    std::wstring shown = L"未選択";
    if (item->value != 0) {
        const Edit::EditService* edit = Edit::EditService::instance();
        shown = edit != nullptr ? edit->getSceneName(item->value) : std::wstring();
        if (shown.empty()) shown = Edit::Scene::getDefaultName(item->value);
    }
    if (shown != valueText.text) {
        valueText.text = std::move(shown);
        valueText.invalidate();
    }
}

void EffectItemSceneControl::setScene(int32_t id) {
    commitChange([this, id](Edit::UpdateSection&) {
        item->value = id;
        updateValue();
    });
}

void EffectItemSceneControl::showSceneMenu() {
    const Edit::EditService* edit = Edit::EditService::instance();
    if (edit == nullptr) return;
    const int32_t editing = edit->currentScene() ? edit->currentScene()->id : 0;
    Window::PopupMenu menu;
    bool any = false;
    for (const std::shared_ptr<Edit::Scene>& scene : edit->project().getSceneList()) {
        if (scene->id == 0 || scene->id == editing) continue;
        any = true;
        const Window::BaseMenu::Item entry = menu.insertItem(scene->name, [this, id = scene->id] { setScene(id); });
        entry.setRadioCheck();
        if (scene->id == item->value) Platform::window::checkMenuItem(entry.menu, static_cast<uint32_t>(entry.id), true);
    }
    if (any) {
        menu.show();
        return;
    }
    Platform::window::Point at{};
    if (!Platform::window::getCursorPos(at)) return;
    at.y += Platform::window::getSystemMetrics(Platform::window::kSmCyCursor);
    Window::ToolTips::show(at, L"シーンを追加すると表示されます", 3000);
}

}  // namespace Component
