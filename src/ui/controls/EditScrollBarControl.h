#pragma once

#include "ui/controls/ScrollBarControl.h"

// The scroll bar of a text editor control: a scroll bar whose range and span
// its editor feeds from the text's lines or width.
namespace Control {

class EditScrollBarControl : public ScrollBarControl {
public:
    using ScrollBarControl::ScrollBarControl;
};

}  // namespace Control
