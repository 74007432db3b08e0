#include "ui/settings/EffectTimeSettingHeader.h"

#include "ui/framework/StyleBrushList.h"
#include "ui/framework/WindowMouseService.h"
#include "ui/framework/WindowService.h"
#include "ui/settings/EffectTimeSettingComponent.h"

namespace Component {

namespace {

using Brushes = Window::StyleBrushList;

}  // namespace

EffectTimeSettingHeader::EffectTimeSettingHeader(EffectTimeSettingComponent& owner, Window::ControlContainer& container,
                                                 int32_t h)
    : WindowControlRenderTarget(container, 0, 0, 0, h),
      panel(&owner),
      children(priority + 1, &visibleRect, &fullRect),
      icon(children, 2, 2, h - 4, h - 4, Window::StyleBitmapList::Clock),
      title(children, h + 2, 0, -2 * h, 0, L"", Control::TextControl::LeftEllipsis),
      strip(children, -2 * h, 2, 2 * h, -2),
      presetButton(strip, 0, 0, h - 4, 0, Control::GlyphList, false),
      closeButton(strip, h, 0, h - 4, 0, Control::GlyphCross, false) {
    service->unregisterMouse(&title);
    service->unregisterMouse(&strip);
    // The icon only shows the panel's picture; a press on it is the header's.
    service->unregisterMouse(&icon);
    presetButton.toolTipText = L"制御点のプリセットを読込";
    presetButton.iconBrush = Brushes::Text;
    closeButton.iconBrush = Brushes::Text;
    presetButton.clickAction = [this](Control::ButtonControl&) { panel->showPresetMenu(); };
    closeButton.clickAction = [this](Control::ButtonControl&) {
        if (!panel->shown()) return;
        panel->show(false);
        if (panel->windowService != nullptr) panel->windowService->updateLayout();
    };
}

void EffectTimeSettingHeader::procLButtonDown(int32_t, int32_t) { panel->showTargetMenu(); }

void EffectTimeSettingHeader::procMouseEnter() { invalidate(); }

void EffectTimeSettingHeader::procMouseLeave() { invalidate(); }

void EffectTimeSettingHeader::procPaint() {
    if (!canPaint()) return;
    const ControlScope scope(*this);
    const Brushes::Index background = hovered ? Brushes::GroupingSelect : Brushes::Grouping;
    fillRectangle(0, 0, fullRect.w, fullRect.h, brush(background));
    icon.backgroundBrush = background;
    presetButton.backgroundBrush = background;
    closeButton.backgroundBrush = background;
    for (Window::WindowControl* child : children.children)
        if (child->visible) child->procPaint();
}

void EffectTimeSettingHeader::procMove() { children.updateChildLayout(); }

}  // namespace Component
