#include "ui/dialogs/InputIntegerDialog.h"

#include "ui/dialogs/DialogItemInteger.h"

namespace Dialog {

bool InputIntegerDialog::open(Platform::window::WindowHandle owner, const wchar_t* label, int32_t& value,
                              int32_t minimum, int32_t maximum) {
    DialogItemInteger* item = addInteger(label, value, minimum, maximum);
    if (!create(0, owner)) return false;
    value = item->value;
    return true;
}

}  // namespace Dialog
