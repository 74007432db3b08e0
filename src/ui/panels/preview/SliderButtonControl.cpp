#include "ui/panels/preview/SliderButtonControl.h"

#include <algorithm>
#include <cmath>

#include "media/audio/XAudio2Service.h"
#include "platform/window/Menu.h"
#include "render/MoviePlayer.h"
#include "ui/controls/ControlInput.h"
#include "ui/framework/PopupMenu.h"
#include "ui/framework/ToolTips.h"
#include "ui/framework/WindowMouseService.h"
#include "ui/panels/PreviewControl.h"

namespace Component {

namespace {

using Cursor = Window::WindowMouseService::MouseCursor;

void setDragCursor(Cursor* cursor) {
    if (Window::WindowMouseService* router = Window::WindowMouseService::get()) router->currentCursor = cursor;
}

}  // namespace

SliderButtonControl::SliderButtonControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w,
                                         int32_t h, Window::StyleBitmapList::Index bitmap)
    : BitmapButtonControl(container, x, y, w, h, bitmap) {
    acceptContextMenu = true;
}

void SliderButtonControl::showValue() {
    const std::wstring text = getValueText();
    Window::ToolTips::showBeside(visibleRect, text.c_str());
}

void SliderButtonControl::procLButtonDown(int32_t x, int32_t y) {
    if (!enabled) return;
    Window::ControlInput::armDrag(*this, x, y);
    setDragCursor(&Cursor::VerticalArrows);
    invalidate();
    pressValue_ = getValue();
    showValue();
}

void SliderButtonControl::procMouseDrag(int32_t, int32_t dy) {
    setValue(pressValue_, dy / -2);
    showValue();
}

void SliderButtonControl::procCaptureLost() {
    BitmapButtonControl::procCaptureLost();
    invalidate();
    Window::ToolTips::hide();
}

VolulmeButtonControl::VolulmeButtonControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w,
                                           int32_t h, Render::MoviePlayer* player, Media::XAudio2Service* output)
    : SliderButtonControl(container, x, y, w, h, Window::StyleBitmapList::Volume), player_(player), output_(output) {
    toolTipText = L"プレビュー再生の音量を変更";
}

int32_t VolulmeButtonControl::getValue() const { return player_ != nullptr ? player_->volume : 100; }

std::wstring VolulmeButtonControl::getValueText() const { return std::to_wstring(getValue()) + L"%"; }

void VolulmeButtonControl::storeVolume(int32_t value) {
    if (player_ != nullptr) player_->volume = value;
    if (output_ != nullptr) output_->setVolume(value);
}

void VolulmeButtonControl::setValue(int32_t start, int32_t delta) { storeVolume(std::clamp(start + delta, 0, 100)); }

void VolulmeButtonControl::procContextMenu(int32_t, int32_t) {
    Window::PopupMenu menu;
    for (int32_t value = 0; value <= 100; value += 10) {
        const Window::BaseMenu::Item item =
            menu.insertItem(std::to_wstring(value) + L"%", [this, value] { storeVolume(value); });
        if (value == getValue()) Platform::window::checkMenuItem(item.menu, static_cast<uint32_t>(item.id), true);
    }
    menu.show();
}

ZoomButtonControl::ZoomButtonControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h)
    : BitmapButtonControl(container, x, y, w, h, Window::StyleBitmapList::Zoom) {
    toolTipText = L"プレビュー表示の拡大率を変更";
    acceptContextMenu = true;
    acceptRightButton = true;
}

std::wstring ZoomButtonControl::zoomText(int32_t zoom) {
    return zoom == 0 ? std::wstring(L"WindowSize") : std::to_wstring(zoom) + L"%";
}

int32_t ZoomButtonControl::draggedZoom(int32_t pressZoom, int32_t fitted, int32_t dy) {
    const int32_t from = pressZoom == 0 ? fitted : pressZoom;
    const int32_t steps = dy / -2;
    int32_t zoom = static_cast<int32_t>(std::lround(std::pow(1.01, steps) * from));
    if (zoom == from && dy / 2 != 0) zoom += dy < 0 ? 1 : -1;
    return std::clamp(zoom, 10, 4000);
}

void ZoomButtonControl::procLButtonDown(int32_t x, int32_t y) {
    if (!enabled || area_ == nullptr) return;
    panning_ = false;
    Window::ControlInput::armDrag(*this, x, y);
    setDragCursor(&Cursor::VerticalArrows);
    invalidate();
    pressZoom_ = area_->zoom();
    Window::ToolTips::showBeside(visibleRect, zoomText(pressZoom_).c_str());
}

void ZoomButtonControl::procRButtonDown(int32_t x, int32_t y) {
    if (!enabled || area_ == nullptr) return;
    panning_ = true;
    Window::ControlInput::armDrag(*this, x, y);
    setDragCursor(&Cursor::SizeAll);
    invalidate();
    pressScrollX_ = area_->scrollX();
    pressScrollY_ = area_->scrollY();
}

void ZoomButtonControl::procMouseDrag(int32_t dx, int32_t dy) {
    if (area_ == nullptr) return;
    if (panning_) {
        area_->scrollTo(pressScrollX_ - dx, pressScrollY_ - dy);
        return;
    }
    // Fit mode turns into the percentage it shows once the drag starts.
    if (pressZoom_ == 0) pressZoom_ = area_->fittedZoom();
    const int32_t zoom = draggedZoom(pressZoom_, pressZoom_, dy);
    area_->setZoom(zoom);
    Window::ToolTips::showBeside(visibleRect, zoomText(zoom).c_str());
}

void ZoomButtonControl::procCaptureLost() {
    BitmapButtonControl::procCaptureLost();
    invalidate();
    Window::ToolTips::hide();
}

void ZoomButtonControl::procContextMenu(int32_t, int32_t) {
    if (area_ == nullptr) return;
    Window::PopupMenu menu;
    area_->addZoomMenu(menu);
    menu.show();
}

}  // namespace Component
