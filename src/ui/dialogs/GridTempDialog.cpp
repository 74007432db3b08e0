#include "ui/dialogs/GridTempDialog.h"

#include "ui/dialogs/DialogItemInteger.h"
#include "ui/dialogs/DialogItemNumber.h"

namespace Dialog {

GridTempDialog::GridTempDialog() : DialogTemplate(L"グリッド(BPM)の設定") {}

bool GridTempDialog::open(float& tempo, int32_t& beats, float& offset) {
    DialogItemNumber* tempoItem = addItem(L"テンポ", tempo, 1.0, 1000.0);
    DialogItemInteger* beatsItem = addInteger(L"拍子", beats, 0, 100);
    DialogItemNumber* offsetItem = addItem(L"基準時間", offset, -3600.0, 3600.0);
    if (!create()) return false;
    tempo = static_cast<float>(tempoItem->value);
    beats = beatsItem->value;
    offset = static_cast<float>(offsetItem->value);
    return true;
}

}  // namespace Dialog
