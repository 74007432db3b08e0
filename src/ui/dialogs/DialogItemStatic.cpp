#include "ui/dialogs/DialogItemStatic.h"

namespace Dialog {

DialogItemStatic::DialogItemStatic(std::wstring text) : text(std::move(text)) {}

void DialogItemStatic::create(Platform::window::DialogWindow& parent, int32_t x, int32_t y, int32_t width,
                              int32_t height) {
    control = createControl(parent, Platform::window::DialogControlKind::Static, text, x, y, width, height);
}

}  // namespace Dialog
