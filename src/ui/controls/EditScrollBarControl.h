#pragma once

#include "ui/controls/ScrollBarControl.h"

// The scroll bar of a multi-line text editor: its range is the text's height
// with a margin, its span the editor's text area; moving it scrolls the
// editor, and the editor's scrolling moves it.
namespace Control {

class EditControl;

class EditScrollBarControl : public ScrollBarControl {
public:
    using ScrollBarControl::ScrollBarControl;
    ~EditScrollBarControl() override;

    // Couples the bar and the editor both ways (the editor's scrollBar too).
    void bind(EditControl& edit);
    // Takes the range and position from the editor and redraws.
    void update();

    EditControl* editor = nullptr;
};

}  // namespace Control
