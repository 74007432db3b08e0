#include "ui/dialogs/GridCameraDialog.h"

#include "ui/dialogs/DialogItemNumber.h"

namespace Dialog {

GridCameraDialog::GridCameraDialog(const wchar_t* caption) : DialogTemplate(caption) {}

bool GridCameraDialog::open(Field& first, Field& second) {
    DialogItemNumber* a = addItem(first.label, first.value, first.minimum, first.maximum);
    DialogItemNumber* b = addItem(second.label, second.value, second.minimum, second.maximum);
    if (!create()) return false;
    first.value = static_cast<float>(a->value);
    second.value = static_cast<float>(b->value);
    return true;
}

}  // namespace Dialog
