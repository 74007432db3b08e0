#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "platform/window/Message.h"

namespace Platform::window {

// Message box styles and answers, with the numbers the program stores.
inline constexpr uint32_t kMbOk = 0x0;
inline constexpr uint32_t kMbOkCancel = 0x1;
inline constexpr uint32_t kMbYesNoCancel = 0x3;
inline constexpr uint32_t kMbYesNo = 0x4;
inline constexpr uint32_t kMbIconError = 0x10;
inline constexpr uint32_t kMbIconQuestion = 0x20;
inline constexpr uint32_t kMbIconWarning = 0x30;
inline constexpr uint32_t kMbIconInformation = 0x40;
inline constexpr uint32_t kMbTaskModal = 0x2000;

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

struct MessageBoxRequest {
    WindowHandle owner;
    std::string text;   // UTF-8
    std::string title;  // UTF-8
    uint32_t style;
};

// The scripted-answer hook: when set, every message box is answered by it
// instead of being shown. Returns the previous hook.
using MessageBoxHook = std::function<int(const MessageBoxRequest&)>;
MessageBoxHook setMessageBoxHook(MessageBoxHook hook);
// The hook set now (empty when none).
MessageBoxHook messageBoxHook();

// Shows a modal message box and returns the button chosen (kIdOk ...). While
// it is open the calling thread's queue keeps being dispatched (timers and
// posted messages go on); a quit message closes it and is posted again.
// An owned box stays above its owner; every box blocks the input of the
// program's other windows. Without a display it answers the default at once.
int messageBox(WindowHandle owner, const std::string& text, const std::string& title, uint32_t style);

}  // namespace Platform::window
