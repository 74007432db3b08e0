#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "effect/EffectItemColor.h"
#include "ui/controls/BitmapButtonControl.h"
#include "ui/controls/ButtonInputControl.h"
#include "ui/controls/RectControl.h"
#include "ui/controls/TextControl.h"
#include "ui/controls/TextIconButtonControl.h"
#include "ui/settings/EffectItemControl.h"

namespace Edit {
class Object;
}
namespace Window {
class BaseMenu;
}

// The row of a colour item: the name button (its label opens the preset
// colours, its icon the colour setting panel), the six-digit code, a screen
// pick button, a swatch and the components in decimal. A colour with the
// unset variant may be emptied ("未指定"). A typed code changes every
// selected object in one undo step; a preset or a pick only the shown one.
namespace Component {

class EffectItemColorControl : public EffectItemControl<Effect::EffectItemColor> {
public:
    using Bytes = std::array<uint8_t, 3>;
    // The preset colour menu and the colour setting panel are reached
    // through the program's Window::Host.

    EffectItemColorControl(Window::ControlContainer& parent, EffectSetting& block,
                           const std::shared_ptr<Effect::EffectBase>& effect, Effect::EffectItemColor& item);
    ~EffectItemColorControl() override;

    static std::shared_ptr<EffectItemBaseControl> create(Effect::EffectItem& item, Window::ControlContainer& parent,
                                                         EffectSetting& block,
                                                         const std::shared_ptr<Effect::EffectBase>& effect);

    void procPickColor(const uint8_t* rgb) override;
    void updateValue() override;
    void procPaint() override;

    void applyHexText(const std::wstring& text);
    // A preset or a pick: one undo step of the shown object; none given only refreshes.
    void setColorBytes(std::optional<Bytes> bytes);
    void showPresetMenu();
    void startScreenPick();
    // The swatch's outline grey for a colour.
    static float contrastGrey(uint8_t r, uint8_t g, uint8_t b);

    bool picking = false;
    Control::TextIconButtonControl nameButton;
    Control::ButtonInputControl hexInput;
    Control::BitmapButtonControl pickButton;
    Control::RectControl swatch;
    Control::TextControl valueText;

private:
    void beginEdit();
    void endEdit();
    void paintSwatch(Control::RectControl& rect);
    // Where the window button sits on the screen, for whoever watches the log; once per place.
    void logButtonPlace();

    bool recordOpen_ = false;
    std::array<int32_t, 4> loggedButton_{};
};

}  // namespace Component
