#pragma once
#include "ui/dialogs/DialogItem.h"

namespace Dialog {

// A field of digits for an integer within a range.
class DialogItemInteger : public DialogItem {
public:
    DialogItemInteger(const wchar_t* label, int32_t value, int32_t minimum, int32_t maximum);

    void create(Platform::window::DialogWindow& parent, int32_t x, int32_t y, int32_t width,
                int32_t height) override;
    bool submit() override;
    void update() override;

    int32_t value = 0;
    int32_t minimum = 0;
    int32_t maximum = 0;
};

}  // namespace Dialog
