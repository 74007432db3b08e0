#include "ui/dialogs/DialogItemNumber.h"

#include "core/StringHelper.h"
#include "core/TextConvert.h"
#include "ui/dialogs/ReadValue.h"

namespace Dialog {

namespace W = Platform::window;

DialogItemNumber::DialogItemNumber(const wchar_t* label, double value, double minimum, double maximum)
    : DialogItem(label), value(value), minimum(minimum), maximum(maximum) {}

void DialogItemNumber::create(W::DialogWindow& parent, int32_t x, int32_t y, int32_t width, int32_t height) {
    control = createControl(parent, W::DialogControlKind::Edit, L"", x, y, width, height);
    parent.setText(control, System::wideToUtf8(System::formatDecimal(value)));
}

bool DialogItemNumber::submit() { return readNumberInRange(*window, control, value, minimum, maximum); }

}  // namespace Dialog
