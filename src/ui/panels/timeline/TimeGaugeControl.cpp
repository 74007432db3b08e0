#include "ui/panels/timeline/TimeGaugeControl.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "core/SettingService.h"
#include "edit/Scene.h"
#include "media/gpu/ResourceService.h"
#include "platform/draw2d/RenderTarget.h"
#include "platform/window/Menu.h"
#include "ui/framework/PopupMenu.h"
#include "ui/framework/StyleBrushList.h"
#include "ui/framework/WindowService.h"
#include "ui/panels/EditComponent.h"
#include "ui/panels/EditLayerObjectControl.h"

namespace Component {

namespace {
using Brushes = Window::StyleBrushList;
}

TimeGaugeControl::TimeGaugeControl(EditComponent& panel, Window::ControlContainer& container, int32_t x, int32_t y,
                                   int32_t w, int32_t h)
    : WindowControlRenderTarget(container, x, y, w, h), panel_(panel) {
    if (Resource::ResourceService* resources = Resource::ResourceService::get())
        format_ = resources->textFormats[Resource::ResourceService::kTimeGauge].get();
    acceptRightButton = true;
    acceptWheel = true;
    acceptContextMenu = true;
}

int32_t TimeGaugeControl::tickStep(int32_t zoom, int32_t spacing) {
    return std::max(1, static_cast<int32_t>(int64_t(spacing) * 10000 / std::max(1, zoom)));
}

int32_t TimeGaugeControl::toAreaX(int32_t x) const { return x + visibleRect.x - panel_.objectArea->fullRect.x; }
int32_t TimeGaugeControl::toAreaY(int32_t y) const { return y + visibleRect.y - panel_.objectArea->fullRect.y; }

void TimeGaugeControl::procLButtonDown(int32_t x, int32_t y) {
    panel_.objectArea->forwardLButtonDown(*this, toAreaX(x), toAreaY(y));
}

void TimeGaugeControl::procRButtonDown(int32_t x, int32_t y) {
    panel_.objectArea->forwardRButtonDown(*this, toAreaX(x), toAreaY(y));
}

void TimeGaugeControl::procMouseWheel(int32_t x, int32_t y, int32_t delta) {
    const Window::MouseRect& area = panel_.objectArea->visibleRect;
    panel_.objectArea->procMouseWheel(x + visibleRect.x - area.x, y + visibleRect.y - area.y, delta);
}

void TimeGaugeControl::procContextMenu(int32_t, int32_t) {
    Window::PopupMenu menu;
    const bool selected = panel_.scene && panel_.scene->selectedStart >= 0 && panel_.scene->selectedEnd >= 0;
    const Window::BaseMenu::Item item =
        menu.insertItem(L"フレーム範囲選択を解除", [this] { panel_.setSelectFrameRange(-1, -1); });
    if (!selected) Platform::window::enableMenuItem(item.menu, static_cast<uint32_t>(item.id), false);
    menu.insertSeparator();
    panel_.addClientMenu(menu);
    menu.show();
}

void TimeGaugeControl::procPaint() {
    if (!visible || target == nullptr || fullRect.w <= 0 || fullRect.h <= 0 || !panel_.scene) return;
    const DrawScope scope(*this, fullRect.x, fullRect.y, fullRect.x + fullRect.w, fullRect.y + fullRect.h, true);
    Window::StyleBrushList& brushes = panel_.windowService->brushes;
    const TimelineView& view = panel_.view;
    const Edit::Scene& scene = *panel_.scene;
    const int32_t width = fullRect.w, height = fullRect.h, half = height / 2;
    fillRectangle(0, 0, width, height, brushes.get(Brushes::Background));

    if (scene.selectedStart >= 0 && scene.selectedEnd >= 0) {
        fillRectangle(0, half + 1, width, height, brushes.get(Brushes::FrameRangeOutside));
        fillRectangle(view.pixelOf(scene.selectedStart), half + 1, view.pixelOf(scene.selectedEnd + 1), height,
                      brushes.get(Brushes::FrameRangeSelect));
    }

    float uiScale = 1.0f;
    if (Setting::SettingService* settings = Setting::SettingService::get()) uiScale = settings->system.uiScale;
    const int32_t step = tickStep(view.zoom, static_cast<int32_t>(std::lround(10.0f * uiScale)));
    const int64_t major = int64_t(step) * 10;
    const double perFrame = scene.videoRate > 0 ? double(scene.videoScale) / scene.videoRate : 0;
    const float lineHeight = format_ != nullptr ? format_->getLineHeight() : 0;
    const int32_t labelY = static_cast<int32_t>(std::lround(height * 0.5 - lineHeight)) + 1;
    for (int64_t f = view.displayFrame - view.displayFrame % major;; f += step) {
        const int32_t x = view.pixelOf(static_cast<int32_t>(std::min<int64_t>(f, INT32_MAX)));
        if (x >= width || f > INT32_MAX) break;
        const bool labelled = f % major == 0;
        if (labelled && format_ != nullptr) {
            const int64_t hundredths = static_cast<int64_t>(double(f) * perFrame * 100);
            const int64_t s = hundredths / 100;
            wchar_t text[48];
            std::swprintf(text, 48, L"%02lld:%02lld:%02lld.%02lld", (long long)(s / 3600), (long long)(s / 60 % 60),
                          (long long)(s % 60), (long long)(hundredths % 100));
            Resource::TextLayout layout;
            layout.create(*format_, text, static_cast<int32_t>(std::wcslen(text)));
            target->drawTextLayout({float(originX + x), float(originY + labelY)}, *layout.get(),
                                   brushes.get(Brushes::Text));
        }
        if (x >= 0)
            fillRectangle(x, labelled ? half : static_cast<int32_t>(height * 0.75), x + 1, height,
                          brushes.get(Brushes::Border));
    }

    const int32_t x0 = view.pixelOf(scene.cursorFrame), x1 = view.pixelOf(scene.cursorFrame + 1);
    if (x1 >= 0 && x0 < width) {
        if (x1 - x0 > 1)
            fillRectangle(x0, 0, x1, height, brushes.get(Brushes::FrameCursorWide));
        else
            fillRectangle(x0, 0, x0 + 1, height, brushes.get(Brushes::FrameCursor));
    }
}

}  // namespace Component
