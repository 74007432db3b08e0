#include "ui/dialogs/DialogItemInteger.h"

#include "ui/dialogs/ReadValue.h"

namespace Dialog {

namespace W = Platform::window;

DialogItemInteger::DialogItemInteger(const wchar_t* label, int32_t value, int32_t minimum, int32_t maximum)
    : DialogItem(label), value(value), minimum(minimum), maximum(maximum) {}

void DialogItemInteger::create(W::DialogWindow& parent, int32_t x, int32_t y, int32_t width, int32_t height) {
    control = createControl(parent, W::DialogControlKind::Edit, L"", x, y, width, height, true);
    update();
}

bool DialogItemInteger::submit() { return readIntInRange(*window, control, value, minimum, maximum); }

void DialogItemInteger::update() {
    if (window != nullptr) window->setText(control, std::to_string(value));
}

}  // namespace Dialog
