#include "ui/settings/SettingHeader.h"

#include <algorithm>

#include "core/EventService.h"
#include "edit/EditService.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "ui/controls/IconGlyph.h"
#include "ui/settings/SettingPanelState.h"

namespace Component {

SettingHeader::SettingHeader(Window::ControlContainer& container, SettingPanelState& state, int32_t x, int32_t y,
                             int32_t w, int32_t h)
    : WindowControlRenderTarget(container, x, y, w, h),
      panel(&state),
      children(priority + 1, &visibleRect, &fullRect),
      gauge(children, 0, 0, -(h - h / 4 * 3 / 2), 0),
      buttonFrame(children, -(h - h / 4 * 3 / 2), h / 4, 0, -(h / 4)),
      addButton(buttonFrame, 0, 0, h - 2 * (h / 4), 0, Control::GlyphPlus, false) {
    acceptWheel = true;
    acceptContextMenu = true;
    addButton.toolTipText = L"フィルタ効果を追加";
    addButton.setEnabled(false);
    addButton.clickAction = [this](Control::ButtonControl&) {
        if (panel->object && addFilter) addFilter(panel->object);
    };
}

void SettingHeader::update() {
    gauge.setObject(panel->object);
    const int32_t has = panel->object ? 1 : 0;
    if (has != hadObject_) {
        hadObject_ = has;
        addButton.setEnabled(has != 0);
        addButton.invalidate();
    }
}

void SettingHeader::procMouseWheel(int32_t, int32_t, int32_t delta) {
    Edit::EditService* edit = Edit::EditService::instance();
    if (!panel->object || edit == nullptr || !edit->currentScene()) return;
    Edit::Scene& scene = *edit->currentScene();
    int32_t frame = scene.cursorFrame + (delta > 0 ? -1 : 1);
    frame = std::clamp(frame, panel->object->start, panel->object->end);
    frame = std::clamp(frame, 0, std::max(scene.length - 1, 0));
    if (frame == scene.cursorFrame) return;
    scene.cursorFrame = frame;
    if (Event::EventService* events = Event::EventService::get()) events->cursorFrameListeners.call(frame);
}

void SettingHeader::procContextMenu(int32_t, int32_t) { gauge.showMenu(); }

void SettingHeader::procPaint() {
    if (!canPaint()) return;
    const ControlScope scope(*this);
    fillRectangle(0, 0, fullRect.w, fullRect.h, brush(Window::StyleBrushList::Grouping));
    for (size_t i = 0; i < children.children.size(); ++i) children.children[i]->procPaint();
}

void SettingHeader::procMove() { children.updateChildLayout(); }

}  // namespace Component
