#pragma once
#include "ui/dialogs/DialogItem.h"

namespace Dialog {

// A line of text without a label (shown through the Dialog table).
class DialogItemStatic : public DialogItem {
public:
    explicit DialogItemStatic(std::wstring text);

    void create(Platform::window::DialogWindow& parent, int32_t x, int32_t y, int32_t width,
                int32_t height) override;
    bool submit() override { return true; }
    void update() override {}

    std::wstring text;
};

}  // namespace Dialog
