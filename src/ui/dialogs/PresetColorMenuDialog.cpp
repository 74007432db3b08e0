#include "ui/dialogs/PresetColorMenuDialog.h"

#include "effect/PaletteManager.h"

namespace Dialog {

void PresetColorMenuDialog::fillItems(List& list) {
    const Effect::PaletteManager* palettes = Effect::PaletteManager::get();
    if (palettes == nullptr) return;
    for (Effect::PresetColorDefine* entry : palettes->getPresetColorMenuList())
        list.appendItem(std::make_unique<MenuDefineItem>(*entry));
}

}  // namespace Dialog
