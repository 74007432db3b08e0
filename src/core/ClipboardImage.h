#pragma once
#include <cstddef>
#include <cstdint>

namespace System {

// An image handed to the clipboard: 32-bit pixels in blue, green, red, alpha
// byte order, top row first. Without alpha (B8G8R8X8) the fourth byte is
// ignored and the clipboard gets 24-bit rows.
struct ClipboardImage {
    int32_t width = 0;
    int32_t height = 0;
    bool alpha = false;
    const uint8_t* pixels = nullptr;
    size_t pitch = 0;  // bytes from one row to the next
};

}  // namespace System
