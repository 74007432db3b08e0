#pragma once
#include <cstdint>

#include "ui/dialogs/DialogItem.h"

namespace Dialog {

// A field that takes the next key pressed in it as a shortcut code: the key
// with Ctrl, Shift and Alt as they are held; nothing is typed. It shows the
// code's name, and is empty with "キーを入力してください" while it waits for
// a key. A key the key-name table does not name gives code 0.
class DialogItemKeyCode : public DialogItem {
public:
    explicit DialogItemKeyCode(const wchar_t* label = nullptr, int32_t code = 0);

    void create(Platform::window::DialogWindow& parent, int32_t x, int32_t y, int32_t width,
                int32_t height) override;
    bool submit() override;
    void update() override;
    bool notify(int32_t id, int32_t code) override;

    int32_t code = 0;
};

}  // namespace Dialog
