#include "ui/dialogs/DialogItemText.h"

#include "core/TextConvert.h"
#include "ui/framework/ToolTips.h"

namespace Dialog {

namespace W = Platform::window;

namespace {
constexpr int32_t kRequiredTipTime = 3000;  // ms
}

DialogItemText::DialogItemText(const wchar_t* label, std::wstring text, bool required)
    : DialogItem(label), text(std::move(text)), required(required) {}

void DialogItemText::create(W::DialogWindow& parent, int32_t x, int32_t y, int32_t width, int32_t height) {
    control = createControl(parent, W::DialogControlKind::Edit, L"", x, y, width, height);
    update();
}

bool DialogItemText::submitText() {
    const std::string shown = window->text(control);
    if (!shown.empty() || !required) {
        text = System::utf8ToWide(shown);
        return true;
    }
    const W::Rect rect = controlRect(control);
    Window::ToolTips::show({rect.left, rect.bottom + 1}, L"必須項目です", kRequiredTipTime);
    return false;
}

bool DialogItemText::submit() { return submitText(); }

void DialogItemText::update() {
    if (window != nullptr) window->setText(control, System::wideToUtf8(text));
}

}  // namespace Dialog
