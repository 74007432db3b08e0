#pragma once
#include <cstdint>
#include <string>

#include "ui/controls/WindowControlRenderTarget.h"

// The title strip across the top of a panel: the panel's title (a text of
// the menu table, translated when drawn) and an optional second text drawn
// as it is. It takes no input.
namespace Control {

class TitleHeaderControl : public Window::WindowControlRenderTarget {
public:
    // Spans the container's top edge, TitleHeaderHeight + 2 high.
    TitleHeaderControl(Window::ControlContainer& container, std::wstring title);

    void procPaint() override;

    std::wstring title;
    std::wstring subText;
    // Where the last drawing put the texts (x of the sub-text, -1 when none)
    // and the title's measured width.
    int32_t drawnTitleWidth = 0;
    int32_t drawnSubTextX = -1;
};

}  // namespace Control
