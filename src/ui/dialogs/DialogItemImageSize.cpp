#include "ui/dialogs/DialogItemImageSize.h"

#include <algorithm>

#include "ui/dialogs/ReadValue.h"

namespace Dialog {

namespace W = Platform::window;

DialogItemImageSize::DialogItemImageSize(const wchar_t* label, int32_t width, int32_t height, int32_t minimum,
                                         int32_t maximum)
    : DialogItem(label), imageWidth(width), imageHeight(height), minimum(minimum), maximum(maximum) {}

void DialogItemImageSize::create(W::DialogWindow& parent, int32_t x, int32_t y, int32_t rowWidth,
                                 int32_t rowHeight) {
    const int32_t field = std::max(0, (rowWidth - 4) / 2);
    control = createControl(parent, W::DialogControlKind::Edit, L"", x, y, field, rowHeight, true);
    heightControl = createControl(parent, W::DialogControlKind::Edit, L"", x + field + 4, y, field, rowHeight, true);
    parent.setText(control, std::to_string(imageWidth));
    parent.setText(heightControl, std::to_string(imageHeight));
}

bool DialogItemImageSize::submit() {
    return readIntInRange(*window, control, imageWidth, minimum, maximum) &&
           readIntInRange(*window, heightControl, imageHeight, minimum, maximum);
}

}  // namespace Dialog
