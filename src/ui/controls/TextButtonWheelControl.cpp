#include "ui/controls/TextButtonWheelControl.h"

namespace Control {

void TextButtonWheelControl::procMouseEnter() {
    if (wheelAction) acceptWheel = true;
    invalidate();
}

void TextButtonWheelControl::procMouseLeave() {
    if (wheelAction) acceptWheel = false;
    invalidate();
}

void TextButtonWheelControl::procMouseWheel(int32_t, int32_t, int32_t delta) {
    if (wheelAction && hovered) wheelAction(*this, delta);
}

bool TextButtonWheelControl::isWheelTarget() {
    if (!wheelAction || !hovered) return false;
    return wheelFilter ? wheelFilter(*this) : true;
}

}  // namespace Control
