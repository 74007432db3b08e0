#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "ui/controls/WindowControlRenderTarget.h"

namespace Effect {
class Palette;
}

// The 8 x 8 swatches of the palette shown in the colour setting panel. A
// click makes a swatch's colour the panel's (and the bound item's); the
// swatch menu registers the panel's colour, copies and pastes, and names a
// swatch as a preset colour. Changes are saved to the palette's file at
// once and are not undone.
namespace Component {

class EffectColorSettingComponent;

class EffectColorPaletteControl : public Window::WindowControlRenderTarget {
public:
    EffectColorPaletteControl(Window::ControlContainer& container, EffectColorSettingComponent& panel);

    // Shows the palette of that name, else the first; remembers the name shown.
    void setPalette(const std::wstring& name);
    void selectPalette();
    void createPalette();
    void editPresetName(int32_t index);
    // The swatch under (x, y) of a control of w x h pixels.
    static int32_t indexAt(int32_t w, int32_t h, int32_t x, int32_t y);
    // The tool tip of a swatch.
    std::wstring tipText(int32_t index) const;

    void procMouseMove(int32_t x, int32_t y) override;
    void procLButtonDown(int32_t x, int32_t y) override;
    void procMouseLeave() override;
    void procContextMenu(int32_t x, int32_t y) override;
    void procMouseHover() override;
    void procPaint() override;

    EffectColorSettingComponent* panel;
    std::shared_ptr<Effect::Palette> palette;
    int32_t hoverIndex = -1;
    bool menuOpen = false;

private:
    // Writes the palette's file and rebuilds the preset colours.
    void save();
};

}  // namespace Component
