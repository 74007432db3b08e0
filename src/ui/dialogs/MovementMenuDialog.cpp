#include "ui/dialogs/MovementMenuDialog.h"

#include "effect/EffectService.h"
#include "effect/MovementDefine.h"

namespace Dialog {

void MovementMenuDialog::fillItems(List& list) {
    const Effect::EffectService* effects = Effect::EffectService::get();
    if (effects == nullptr) return;
    // The service lends its entries read-only; this dialog is where the user changes them.
    for (const Effect::MovementDefine* entry : effects->getMovementMenuList())
        list.appendItem(std::make_unique<MenuDefineItem>(const_cast<Effect::MovementDefine&>(*entry)));
}

}  // namespace Dialog
