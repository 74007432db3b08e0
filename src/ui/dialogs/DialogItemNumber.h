#pragma once
#include "ui/dialogs/DialogItem.h"

namespace Dialog {

// A field for a decimal number within a range.
class DialogItemNumber : public DialogItem {
public:
    DialogItemNumber(const wchar_t* label, double value, double minimum, double maximum);

    void create(Platform::window::DialogWindow& parent, int32_t x, int32_t y, int32_t width,
                int32_t height) override;
    bool submit() override;

    double value = 0;
    double minimum = 0;
    double maximum = 0;
};

}  // namespace Dialog
