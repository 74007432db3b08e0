#include "ui/dialogs/FontMenuDialog.h"

#include "media/gpu/Direct2DService.h"
#include "media/gpu/FontManager.h"

namespace Dialog {

void FontMenuDialog::fillItems(List& list) {
    const Media::Direct2DService* direct2D = Media::Direct2DService::get();
    if (direct2D == nullptr) return;
    // The manager lends its entries read-only; this dialog is where the user changes them.
    for (const Media::FontDefine* entry : direct2D->fontManager.getFontList())
        list.appendItem(std::make_unique<MenuDefineItem>(const_cast<Media::FontDefine&>(*entry)));
}

}  // namespace Dialog
