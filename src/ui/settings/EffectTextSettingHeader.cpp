#include "ui/settings/EffectTextSettingHeader.h"

#include "core/TranslateService.h"
#include "ui/controls/IconGlyph.h"
#include "ui/framework/WindowService.h"
#include "ui/settings/EffectTextSettingComponent.h"

namespace Component {

using Brushes = Window::StyleBrushList;

EffectTextSettingHeader::EffectTextSettingHeader(EffectTextSettingComponent& owner, Window::ControlContainer& container,
                                                 int32_t h)
    : WindowControlRenderTarget(container, 0, 0, 0, h),
      panel(&owner),
      children(priority + 1, &visibleRect, &fullRect),
      icon(children, 2, 2, h - 4, h - 4, Window::StyleBitmapList::TextTool),
      title(children, h + 2, 0, -2 * h, 0, Translate::translated(Translate::TranslateService::Table::Menu, L"テキスト編集"),
            Control::TextControl::LeftEllipsis),
      buttonFrame(children, -h, 2, h, -2),
      closeButton(buttonFrame, 0, h - 4, Control::GlyphCross, false) {
    icon.backgroundBrush = Brushes::Grouping;
    title.textBrush = Brushes::TextDisable;
    closeButton.iconBrush = Brushes::Text;
    closeButton.backgroundBrush = Brushes::Grouping;
    closeButton.clickAction = [this](Control::ButtonControl&) {
        if (!panel->shown()) return;
        panel->show(false);
        if (panel->windowService != nullptr) panel->windowService->updateLayout();
    };
}

void EffectTextSettingHeader::setBound(bool bound) {
    title.textBrush = bound ? Brushes::Text : Brushes::TextDisable;
    invalidate();
    title.invalidate();
}

void EffectTextSettingHeader::procPaint() {
    if (!canPaint()) return;
    const ControlScope scope(*this);
    fillRectangle(0, 0, fullRect.w, fullRect.h, brush(Brushes::Grouping));
    for (size_t i = 0; i < children.children.size(); ++i) children.children[i]->procPaint();
}

void EffectTextSettingHeader::procMove() { children.updateChildLayout(); }

}  // namespace Component
