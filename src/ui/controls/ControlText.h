#pragma once
#include <cstdint>
#include <string>

#include "media/gpu/TextFormat.h"

// A control's text laid out in the shared `Control` text format and measured,
// its size raised to whole pixels.
namespace Window {

class ControlText {
public:
    // False (and nothing laid out) for an empty text or without the format.
    bool layOut(const std::wstring& text);
    // Cuts the text at the width, ending it in the format's ellipsis sign.
    void trimTo(float width);

    Resource::TextLayout layout;
    int32_t width = 0;
    int32_t height = 0;

private:
    Resource::TextFormat* format_ = nullptr;
};

}  // namespace Window
