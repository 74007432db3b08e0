#include "ui/menus/DisplayMenu.h"

#include "edit/EditService.h"
#include "edit/ObjectFlagCommands.h"
#include "ui/framework/WindowMenuManager.h"

namespace Menu {

void DisplayMenu::createMenu() {
    using Edit::EditCommand::ViewSwitch;
    Window::WindowMenuManager& owner = bar();
    // Each entry switches to the negation of the stored value.
    struct Entry {
        const wchar_t* label;
        ViewSwitch which;
        void (*set)(bool enable);
    } entries[] = {
        {L"グリッド(カメラ制御)の表示", ViewSwitch::CameraGrid, &Edit::EditCommand::setCameraGrid},
        {L"編集視点(カメラ制御)表示", ViewSwitch::CameraFreeView, &Edit::EditCommand::setCameraFreeView},
        {L"クリッピングオブジェクトの視覚化", ViewSwitch::VisibleClippingObject,
         &Edit::EditCommand::setVisibleClippingObjectView},
    };
    for (const Entry& entry : entries) {
        auto item = menu.insertItem(entry.label, [which = entry.which, set = entry.set] {
            if (Edit::EditService::instance()) set(Edit::EditCommand::getViewSwitch(which) == 0);
        });
        owner.setCheck(item, [which = entry.which] { return Edit::EditCommand::getViewSwitch(which) != 0; });
        Window::WindowMenuManager::setShortcut(item, 0);
    }
}

}  // namespace Menu
