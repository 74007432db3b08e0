#pragma once
#include <cstdint>
#include <vector>

#include "platform/window/Message.h"

// The desktop clipboard, used the way the program's clipboard code uses it:
// open, empty, put blocks by format, close (which offers them to other
// programs), or open, read, close. Text is offered as UTF-8 text; a bitmap
// block (a 40-byte information header and its rows) as image/bmp and
// image/png. UI thread only. Without a display the clipboard lives inside the
// process.
namespace Platform::window {

// Block formats, with the numbers the program uses.
inline constexpr uint32_t kCfDib = 8;
// Wide text: wchar_t units ending with a NUL.
inline constexpr uint32_t kCfUnicodeText = 13;

// Fails (lastError EBUSY) while another owner has it open.
bool openClipboard(WindowHandle owner);
bool closeClipboard();
bool emptyClipboard();
bool setClipboardData(uint32_t format, std::vector<uint8_t> block);
// False (lastError ENOENT) when the clipboard holds no block of the format.
bool getClipboardData(uint32_t format, std::vector<uint8_t>& block);
bool isClipboardFormatAvailable(uint32_t format);

}  // namespace Platform::window
