#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "media/gpu/ResourceService.h"
#include "ui/controls/WindowControlRenderTarget.h"
#include "ui/framework/StyleBrushList.h"

// A static text: laid out and drawn, never a target of input, so it hides
// nothing below it from the pointer. Owners may change the text, the format
// and the colours at any time and draw it again.
namespace Control {

class TextControl : public Window::WindowControlRenderTarget {
public:
    enum Alignment : int32_t { LeftMiddle = 0, Centred = 1, LeftEllipsis = 2, TopLeft = 3 };

    TextControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w, int32_t h, std::wstring text,
                int32_t alignment);
    TextControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h, std::wstring text,
                int32_t alignment);

    void procPaint() override;

    // Where the text's top-left lands for a measured size (tw, th) in a
    // control of the full size (w, h); pad is 2 with a frame, else 0.
    static void placeText(int32_t alignment, int32_t w, int32_t h, int32_t tw, int32_t th, int32_t pad, int32_t& x,
                          int32_t& y);

    std::wstring text;
    int32_t alignment;
    size_t textFormat = Resource::ResourceService::kControl;
    std::optional<Window::StyleBrushList::Index> textBrush = Window::StyleBrushList::Text;
    std::optional<Window::StyleBrushList::Index> backgroundBrush;
    std::optional<Window::StyleBrushList::Index> frameBrush;
    // What the last drawing laid out: the measured size, whether the text was
    // cut with the ellipsis sign, and where it went.
    int32_t drawnWidth = 0, drawnHeight = 0, drawnX = 0, drawnY = 0;
    bool drawnTrimmed = false;
};

}  // namespace Control
