#include "edit/ColorSettingUndoUpdate.h"

#include "edit/UpdateSection.h"

namespace Component {

namespace {

bool differs(const Media::ColorRgba& a, const Media::ColorRgba& b) {
    // Written as "not equal" so that an unordered pair counts as a change.
    return !(a.r == b.r) || !(a.g == b.g) || !(a.b == b.b) || !(a.a == b.a);
}

}  // namespace

void ColorSettingUndoUpdate::capture(const ColorSetting& setting, ColorSettingUndoUpdate& state) {
    if (setting.panel == nullptr) return;
    state.color = setting.panel->color;
    state.oldColor = setting.panel->oldColor;
}

bool ColorSettingUndoUpdate::commit(const ColorSetting&, ColorSettingUndoUpdate& before,
                                    ColorSettingUndoUpdate& after) {
    return differs(before.color, after.color) || differs(before.oldColor, after.oldColor);
}

void ColorSettingUndoUpdate::restore(ColorSetting& setting, const ColorSettingUndoUpdate& state,
                                     Edit::UpdateSection& scope) {
    if (setting.panel != nullptr) {
        setting.panel->color = state.color;
        setting.panel->oldColor = state.oldColor;
    }
    scope.effectStateChanged = true;
    scope.colorSettingChanged = true;
}

}  // namespace Component
