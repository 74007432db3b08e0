#pragma once
#include <cstdint>
#include <memory>

#include "ui/controls/BitmapButtonControl.h"
#include "ui/controls/CheckBitmapButtonControl.h"
#include "ui/controls/CheckButtonControl.h"
#include "ui/controls/ControlContainer.h"
#include "ui/controls/IconButtonControl.h"
#include "ui/controls/LayoutControl.h"
#include "ui/controls/TextControl.h"
#include "ui/controls/WindowControlRenderTarget.h"

// The header row of an effect block: the fold button, the effect's name, and
// on the right the enable check, the lock check, the switch button and the
// clipping and camera checks of a paired block, as far as the block has them.
// A press on the header outside its buttons goes to the block (a reorder drag).
namespace Component {

class EffectSetting;

class EffectSettingHeader : public Window::WindowControlRenderTarget {
public:
    EffectSettingHeader(Window::WindowControl& parent, EffectSetting& block);
    ~EffectSettingHeader() override;

    void procLButtonDown(int32_t x, int32_t y) override;
    void procMouseEnter() override;
    void procMouseLeave() override;
    void procPaint() override;
    void procMove() override;

    // The fold glyph for the block's state.
    void updateFold();

    EffectSetting* block;
    int32_t buttonSize;
    int32_t buttonCount = 0;
    Window::ControlContainer children;
    Control::LayoutControl row;
    Control::IconButtonControl foldButton;
    Control::TextControl name;
    Control::LayoutControl buttonFrame;
    Control::CheckButtonControl enableCheck;
    Control::CheckBitmapButtonControl lockCheck;
    Control::CheckBitmapButtonControl clippingCheck;
    Control::CheckBitmapButtonControl cameraCheck;
    Control::BitmapButtonControl switchButton;

private:
    // Places a right-side button as the next one from the right.
    void placeButton(Window::WindowControl& button);
    void setUp();
};

}  // namespace Component
