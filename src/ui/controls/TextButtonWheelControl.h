#pragma once
#include <cstdint>
#include <functional>

#include "ui/controls/TextButtonControl.h"

// A text button that also turns with the wheel while the pointer is on it
// (a choice stepped through by the wheel). Without a wheel action it leaves
// the wheel to what lies below.
namespace Control {

class TextButtonWheelControl : public TextButtonControl {
public:
    using TextButtonControl::TextButtonControl;
    using WheelAction = std::function<void(TextButtonWheelControl&, int32_t delta)>;
    using WheelFilter = std::function<bool(TextButtonWheelControl&)>;

    void procMouseEnter() override;
    void procMouseLeave() override;
    void procMouseWheel(int32_t x, int32_t y, int32_t delta) override;
    bool isWheelTarget() override;

    WheelAction wheelAction;
    // Whether the wheel is taken now; empty: always while hovered.
    WheelFilter wheelFilter;
};

}  // namespace Control
