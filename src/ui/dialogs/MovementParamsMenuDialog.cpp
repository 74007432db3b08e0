#include "ui/dialogs/MovementParamsMenuDialog.h"

#include "effect/MovementParamsManager.h"

namespace Dialog {

void MovementParamsMenuDialog::fillItems(List& list) {
    const Effect::MovementParamsManager* presets = Effect::MovementParamsManager::get();
    if (presets == nullptr) return;
    for (Effect::MovementParamsDefine* entry : presets->getMenuList())
        list.appendItem(std::make_unique<MenuDefineItem>(*entry));
}

}  // namespace Dialog
