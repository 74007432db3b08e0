#include "ui/panels/timeline/SceneButtonControl.h"

#include <memory>
#include <utility>

#include "edit/EditService.h"
#include "ui/panels/ModelMenu.h"
#include "edit/Scene.h"
#include "platform/window/Menu.h"
#include "ui/framework/PopupMenu.h"

namespace Component {

EditComponent::SceneButtonControl::SceneButtonControl(Window::ControlContainer& container, int32_t x, int32_t y,
                                                      int32_t w, int32_t h)
    : TextButtonControl(container, x, y, w, h, CentredEllipsis) {
    acceptContextMenu = true;
    clickAction = [this](ButtonControl&) { showSceneMenu(); };
}

void EditComponent::SceneButtonControl::showSceneMenu() {
    Edit::EditService* edit = Edit::EditService::instance();
    if (edit == nullptr) return;
    Window::PopupMenu menu;
    const std::shared_ptr<Edit::Scene> current = edit->currentScene();
    for (const std::shared_ptr<Edit::Scene>& scene : edit->project().getSceneList()) {
        const int32_t id = scene->id;
        const Window::BaseMenu::Item item = menu.insertItem(scene->name, [id] {
            if (Edit::EditService* service = Edit::EditService::instance()) service->updateScene(id);
        });
        if (scene == current) Platform::window::checkMenuItem(item.menu, static_cast<uint32_t>(item.id), true);
    }
    menu.show();
}

void EditComponent::SceneButtonControl::procContextMenu(int32_t, int32_t) {
    Edit::EditService* edit = Edit::EditService::instance();
    if (edit == nullptr || !edit->currentScene()) return;
    Window::PopupMenu menu;
    ModelMenu entries(menu);
    edit->currentScene()->insertSceneMenu(entries, *edit);
    menu.show();
}

void EditComponent::SceneButtonControl::procMouseHover() {
    if (Edit::EditService* edit = Edit::EditService::instance(); edit != nullptr && edit->currentScene())
        edit->currentScene()->showInfoToolTip();
}

}  // namespace Component
