#include "ui/dialogs/EffectMenuDialog.h"

#include "effect/EffectMenuDefine.h"
#include "effect/EffectService.h"

namespace Dialog {

void EffectMenuDialog::fillItems(List& list) {
    const Effect::EffectService* effects = Effect::EffectService::get();
    if (effects == nullptr) return;
    for (Menu::MenuDefineBase* entry : effects->getEffectMenuList(0, 0, 0))
        list.appendItem(std::make_unique<MenuDefineItem>(*entry));
}

}  // namespace Dialog
