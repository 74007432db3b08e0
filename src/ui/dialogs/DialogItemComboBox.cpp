#include "ui/dialogs/DialogItemComboBox.h"

#include "core/TextConvert.h"

namespace Dialog {

namespace W = Platform::window;

DialogItemComboBox::DialogItemComboBox(const wchar_t* label, std::wstring text, bool required)
    : DialogItemText(label, std::move(text), required) {}

void DialogItemComboBox::create(W::DialogWindow& parent, int32_t x, int32_t y, int32_t width, int32_t height) {
    control = createControl(parent, W::DialogControlKind::EditCombo, L"", x, y, width, height);
    parent.setText(control, System::wideToUtf8(text));
    for (const std::wstring& choice : choices) parent.addChoice(control, System::wideToUtf8(choice));
}

void DialogItemComboBox::update() {
    if (window == nullptr) return;
    if (provider) {
        provider(choices);
        window->clearChoices(control);
        for (const std::wstring& choice : choices) window->addChoice(control, System::wideToUtf8(choice));
    }
    window->setText(control, System::wideToUtf8(text));
}

}  // namespace Dialog
