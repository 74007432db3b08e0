#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "core/Color.h"
#include "core/ConfigInt.h"
#include "core/ConfigParameterBinding.h"
#include "core/ConfigParameterGroup.h"
#include "core/ConfigString.h"
#include "core/ServiceHolder.h"
#include "edit/ColorSettingUndoUpdate.h"
#include "ui/controls/ControlContainer.h"
#include "ui/controls/RectControl.h"
#include "ui/framework/WindowClientRenderTarget.h"
#include "ui/settings/EffectItemRef.h"

namespace Edit {
class Object;
class UpdateSection;
}  // namespace Edit
namespace Effect {
class EffectItemColor;
}

// The docked panel "色設定" that edits one colour item of one object: a
// header (the bound item's name, screen pick, palette switch, close), the new
// and old colour, R/G/B and H/S/V rows, the hue circle and the palette. It
// keeps the colour in floats with its hue, saturation and value, so a hue
// survives black and greys, and writes each change into the item as bytes
// inside an edit scope with undo. While shown it follows the focused object
// (its first effect's first colour item); the settings panel's colour rows
// bind it to their own item.
namespace Component {

class EffectColorSettingHeader;
class EffectColorPreviewControl;
class EffectColorInputRGBControl;
class EffectColorInputHSVControl;
class EffectColorCircleControl;
class EffectColorPaletteControl;

class EffectColorSettingComponent : public Window::WindowClientRenderTarget, public ColorSettingColors {
public:
    EffectColorSettingComponent();
    ~EffectColorSettingComponent() override;
    EffectColorSettingComponent(const EffectColorSettingComponent&) = delete;
    EffectColorSettingComponent& operator=(const EffectColorSettingComponent&) = delete;

    static EffectColorSettingComponent* get() { return System::ServiceSlot<EffectColorSettingComponent>::instance; }
    // A closing edit scope that asks for it makes the panel re-read its item.
    static void applyScopeRequests(const Edit::UpdateSection& scope);

    void setFocusObject(const std::shared_ptr<Edit::Object>& object);
    // Binds the item of that object (ignored when no effect of it holds the
    // item) and shows the panel.
    void setTarget(const std::shared_ptr<Edit::Object>& object, Effect::EffectItemColor* item);
    void updateTitle();
    // Re-reads the bound item, keeping hue and saturation where the bytes
    // did not change.
    void updateColor();
    // A colour from the red/green/blue side; equal bytes change nothing.
    void setColor(const Media::ColorRgba& c);
    // The hue/saturation/value side: color follows the three.
    void setHsv(float h, float s, float v);
    // Writes the colour into the bound item: one undo step unless a gesture's record is open.
    void applyColor();
    void beginUndoRecord();
    void endUndoRecord();
    void redrawColor();
    void showTargetMenu();
    // The old-colour patch clicked: the two colours change places.
    void swapOldColor();
    void startScreenPick();
    void pickedColor(const uint8_t* rgb);
    // The options dialog of the circle's reference angle.
    void editCircleAngle();

    void procPaint() override;
    void procMove() override;
    void addClientMenu(Window::BaseMenu& menu) override;

    // Contrast grey of a colour, for outlines on it.
    static float contrastGrey(const Media::ColorRgba& c);
    static bool equalBytes(const Media::ColorRgba& a, const Media::ColorRgba& b);

    int32_t circleAngle = 60;
    std::wstring selectPalette;
    EffectItemRef target;
    Media::ColorRgba copyColor{0, 0, 0, 1};
    float hue = 0, saturation = 0, value = 0;
    int32_t marginWidth = 0;
    int32_t itemHeight = 0;

    EffectColorSettingHeader& header() { return *header_; }
    EffectColorPreviewControl& preview() { return *preview_; }
    EffectColorInputRGBControl& rgbRows() { return *rgb_; }
    EffectColorInputHSVControl& hsvRows() { return *hsv_; }
    EffectColorCircleControl& circle() { return *circle_; }
    EffectColorPaletteControl& palette() { return *palette_; }

private:
    Effect::EffectItemColor* colorItem() const;
    void logPlaces();

    System::Config::ParameterGroup settings_;
    System::Config::Int circleAngle_;
    System::Config::String selectPalette_;
    std::unique_ptr<System::Config::ParameterBinding> binding_;
    Window::ControlContainer container_;
    std::unique_ptr<EffectColorSettingHeader> header_;
    std::unique_ptr<Control::RectControl> margin_;
    std::unique_ptr<EffectColorPreviewControl> preview_;
    std::unique_ptr<EffectColorInputRGBControl> rgb_;
    std::unique_ptr<EffectColorCircleControl> circle_;
    std::unique_ptr<EffectColorInputHSVControl> hsv_;
    std::unique_ptr<EffectColorPaletteControl> palette_;
    std::shared_ptr<EffectColorSettingComponent*> self_;
    bool gestureOpen_ = false;
    std::array<int32_t, 8> loggedPlaces_{};
};

}  // namespace Component
