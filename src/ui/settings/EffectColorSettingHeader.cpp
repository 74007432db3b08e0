#include "ui/settings/EffectColorSettingHeader.h"

#include "core/TranslateService.h"
#include "ui/framework/WindowMouseService.h"
#include "ui/framework/WindowService.h"
#include "ui/settings/EffectColorPaletteControl.h"
#include "ui/settings/EffectColorSettingComponent.h"

namespace Component {

namespace {

constexpr Control::IconLine kCloseLines[] = {{0.3f, 0.3f, 0.7f, 0.7f, 0.15f}, {0.3f, 0.7f, 0.7f, 0.3f, 0.15f}};
const Control::IconGlyph kCloseGlyph{nullptr, nullptr, kCloseLines};

}  // namespace

EffectColorSettingHeader::EffectColorSettingHeader(Window::ControlContainer& container,
                                                   EffectColorSettingComponent& owner, int32_t h)
    : WindowControlRenderTarget(container, 0, 0, 0, h),
      panel(&owner),
      icon(*this, 2, 2, h - 4, h - 4, Window::StyleBitmapList::ColorWheel),
      title(*this, h + 2, 0, -3 * h, 0, L"", Control::TextControl::LeftEllipsis),
      buttons(*this, -3 * h, 2, 0, -2),
      pickButton(buttons, 0, 0, h - 4, 0, Window::StyleBitmapList::Pipette),
      paletteButton(buttons, h, 0, h - 4, 0, Window::StyleBitmapList::Refresh),
      closeButton(buttons, 2 * h, 0, h - 4, 0, kCloseGlyph, false) {
    service->unregisterMouse(&icon);
    service->unregisterMouse(&buttons);
    title.textBrush = Window::StyleBrushList::TextDisable;
    closeButton.iconBrush = Window::StyleBrushList::Text;
    pickButton.toolTipText = Translate::translated(Translate::TranslateService::Table::Message, L"画面上から色を取得");
    paletteButton.toolTipText = Translate::translated(Translate::TranslateService::Table::Message, L"パレットを切替");
    pickButton.clickAction = [this](Control::ButtonControl&) { panel->startScreenPick(); };
    paletteButton.clickAction = [this](Control::ButtonControl&) { panel->palette().selectPalette(); };
    closeButton.clickAction = [this](Control::ButtonControl&) {
        if (!panel->shown()) return;
        panel->show(false);
        if (panel->windowService != nullptr) panel->windowService->updateLayout();
    };
}

void EffectColorSettingHeader::procLButtonDown(int32_t, int32_t) { panel->showTargetMenu(); }

void EffectColorSettingHeader::procMouseEnter() { invalidate(); }

void EffectColorSettingHeader::procMouseLeave() { invalidate(); }

void EffectColorSettingHeader::procPickColor(const uint8_t* rgb) { panel->pickedColor(rgb); }

void EffectColorSettingHeader::procPaint() {
    if (!canPaint()) return;
    const ControlScope scope(*this);
    const auto back = hovered ? Window::StyleBrushList::GroupingSelect : Window::StyleBrushList::Grouping;
    fillRectangle(0, 0, fullRect.w, fullRect.h, brush(back));
    pickButton.backgroundBrush = back;
    paletteButton.backgroundBrush = back;
    closeButton.backgroundBrush = back;
    icon.backgroundBrush = back;
    icon.procPaint();
    title.procPaint();
    pickButton.procPaint();
    paletteButton.procPaint();
    closeButton.procPaint();
}

}  // namespace Component
