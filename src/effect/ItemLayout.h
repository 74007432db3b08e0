#pragma once
#include <cstdint>

namespace Effect {

// Placement of a button-like item's control in its row, read by the control.
struct ItemLayout {
    float width = 0;    // share of the row, 0 = the control's default
    int32_t flags = 0;  // control-defined
};

}  // namespace Effect
