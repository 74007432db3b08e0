#pragma once
#include <cstdint>
#include <string>

#include "ui/dialogs/DialogTemplate.h"

namespace Dialog {

class DialogItemInteger;
class DialogItemNumber;

// A length asked in seconds or in frames at the scene's frame rate: typing
// into either field writes the other. The commands add the seconds item
// and then the frame-count item and run it without an OK button (Enter
// submits); on OK they read the frame count.
class FrameLengthDialog : public DialogTemplate {
public:
    FrameLengthDialog(const wchar_t* caption, int32_t rate, int32_t scale);

    static constexpr int32_t kMaximumFrames = 2000000000;

    // Adds the two items, frames as the initial count; button mode 2.
    void addItems(int32_t frames);
    bool onMessage(Platform::window::DialogWindow& dialog, int32_t id, int32_t code) override;

    int32_t rate = 30;
    int32_t scale = 1;
    DialogItemNumber* seconds = nullptr;
    DialogItemInteger* frames = nullptr;
    std::string lastFrames;   // the last texts seen in each field
    std::string lastSeconds;
};

}  // namespace Dialog
