#pragma once
#include "core/Color.h"

namespace Edit {
class UpdateSection;
}

// The colour setting panel as its undo items see it: the current colour and
// the old colour of its preview. The panel derives from ColorSettingColors;
// the items reach it through a ColorSetting, which lives as long as they do.
namespace Component {

class ColorSettingColors {
public:
    virtual ~ColorSettingColors() = default;

    Media::ColorRgba color{0, 0, 0, 1};
    Media::ColorRgba oldColor{0, 0, 0, 1};
};

struct ColorSetting {
    ColorSettingColors* panel = nullptr;
};

struct ColorSettingUndoUpdate {
    Media::ColorRgba color{0, 0, 0, 1};
    Media::ColorRgba oldColor{0, 0, 0, 1};

    static void capture(const ColorSetting& setting, ColorSettingUndoUpdate& state);
    // Changed when any of the eight floats differs; a NaN always differs.
    static bool commit(const ColorSetting& setting, ColorSettingUndoUpdate& before, ColorSettingUndoUpdate& after);
    // Writes both colours back and asks for the item controls and the colour panel to refresh.
    static void restore(ColorSetting& setting, const ColorSettingUndoUpdate& state, Edit::UpdateSection& scope);
};

}  // namespace Component
