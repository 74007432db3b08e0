#pragma once
#include <cstdint>

#include "ui/dialogs/DialogTemplate.h"

namespace Dialog {

// The timeline's BPM grid: tempo, beats per bar and the offset in seconds.
class GridTempDialog : public DialogTemplate {
public:
    GridTempDialog();

    // Shows the values; true on OK, with the entered ones written back.
    bool open(float& tempo, int32_t& beats, float& offset);
};

}  // namespace Dialog
