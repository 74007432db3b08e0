#pragma once
#include <functional>
#include <vector>

#include "ui/dialogs/DialogItemText.h"

namespace Dialog {

// A text field with a drop-down list of choices (shown as they are).
class DialogItemComboBox : public DialogItemText {
public:
    DialogItemComboBox(const wchar_t* label, std::wstring text, bool required);

    void create(Platform::window::DialogWindow& parent, int32_t x, int32_t y, int32_t width,
                int32_t height) override;
    // With a provider: refills the choices through it and the list; then the text.
    void update() override;

    std::vector<std::wstring> choices;
    std::function<void(std::vector<std::wstring>&)> provider;
};

}  // namespace Dialog
