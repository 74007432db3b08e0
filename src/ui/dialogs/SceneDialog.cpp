#include "ui/dialogs/SceneDialog.h"

#include "edit/FrameRate.h"
#include "ui/dialogs/DialogItemImageSize.h"
#include "ui/dialogs/DialogItemInteger.h"
#include "ui/dialogs/DialogItemNumber.h"
#include "ui/dialogs/DialogItemText.h"

namespace Dialog {

bool SceneDialog::open(std::wstring* name, int32_t* width, int32_t* height, int32_t* rate, int32_t* scale,
                       int32_t* audioRate) {
    DialogItemText* nameItem = name != nullptr ? addNameText(*name, true) : nullptr;
    DialogItemImageSize* sizeItem = nullptr;
    if (width != nullptr && height != nullptr)
        sizeItem = append(
            std::make_unique<DialogItemImageSize>(L"解像度", *width, *height, kMinimumSize, kMaximumSize));
    DialogItemNumber* rateItem = nullptr;
    if (rate != nullptr && scale != nullptr)
        rateItem = addItem(L"フレームレート", Edit::getFrameRateValue(*rate, *scale), 0.001, 1000.0);
    DialogItemInteger* audioItem = audioRate != nullptr ? addInteger(L"サンプリングレート", *audioRate, 1, 3072000) : nullptr;
    if (!create()) return false;
    if (nameItem != nullptr) *name = nameItem->text;
    if (sizeItem != nullptr) {
        *width = sizeItem->imageWidth;
        *height = sizeItem->imageHeight;
    }
    if (rateItem != nullptr) Edit::getFrameRateFromValue(*rate, *scale, rateItem->value);
    if (audioItem != nullptr) *audioRate = audioItem->value;
    return true;
}

}  // namespace Dialog
