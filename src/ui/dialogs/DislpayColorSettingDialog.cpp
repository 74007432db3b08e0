#include "ui/dialogs/DislpayColorSettingDialog.h"

#include "edit/EditService.h"
#include "media/gpu/Direct3DService.h"
#include "ui/dialogs/DialogItemListBox.h"
#include "ui/dialogs/DialogItemStatic.h"

namespace Dialog {

bool DislpayColorSettingDialog::open() {
    Media::Direct3DService* direct3d = Media::Direct3DService::get();
    auto* dpi = addItem(L"高DPI表示", direct3d ? direct3d->highDpiMode : 1);
    dpi->addItem(L"固定サイズ表示");
    dpi->addItem(L"拡大サイズ表示");
    append(std::make_unique<DialogItemStatic>(L"アプリケーションの再起動後に反映されます"));
    auto* input = addItem(L"YUV入力変換", direct3d ? direct3d->inputYuvColorSpace : 0);
    auto* output = addItem(L"YUV出力変換", direct3d ? direct3d->outputYuvColorSpace : 0);
    for (auto* list : {input, output})
        for (const wchar_t* choice : {L"自動", L"BT.601", L"BT.709"}) list->addItem(choice);
    if (!create()) return false;
    if (direct3d != nullptr) {
        direct3d->highDpiMode = dpi->selected;
        direct3d->inputYuvColorSpace = input->selected;
        direct3d->outputYuvColorSpace = output->selected;
    }
    if (Edit::EditService* edit = Edit::EditService::instance()) edit->updateCursorFrame();
    return true;
}

}  // namespace Dialog
