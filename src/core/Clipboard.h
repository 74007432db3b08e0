#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/ClipboardImage.h"

namespace System {

// Text and images on the desktop clipboard, for the main window. A scope
// object: building it opens the clipboard, destroying it closes it; every
// operation opens and closes it around itself. A failed read is only logged;
// a failed copy is also shown to the user. UI thread only.
class Clipboard {
public:
    Clipboard();
    ~Clipboard();
    Clipboard(const Clipboard&) = delete;
    Clipboard& operator=(const Clipboard&) = delete;

    // The Unicode text up to its first NUL; false (text unchanged) when the
    // clipboard holds none.
    static bool getText(std::wstring& text);
    static bool setText(const wchar_t* text);
    static bool setImage(const ClipboardImage& image);

    // The clipboard block of an image: a 40-byte information header (height
    // positive: rows bottom-up) and rows padded to 4 bytes, 32-bit with alpha
    // or 24-bit without.
    static std::vector<uint8_t> buildBitmap(const ClipboardImage& image);
};

}  // namespace System
