#pragma once
#include "ui/dialogs/DialogItem.h"

namespace Dialog {

// Two digit fields side by side: a width and a height, both in one range.
class DialogItemImageSize : public DialogItem {
public:
    DialogItemImageSize(const wchar_t* label, int32_t width, int32_t height, int32_t minimum, int32_t maximum);

    void create(Platform::window::DialogWindow& parent, int32_t x, int32_t y, int32_t width,
                int32_t height) override;
    // The width is read first; a refused width stops there.
    bool submit() override;

    int32_t imageWidth = 0;
    int32_t imageHeight = 0;
    int32_t minimum = 0;
    int32_t maximum = 0;
    int32_t heightControl = 0;  // the second field's id
};

}  // namespace Dialog
