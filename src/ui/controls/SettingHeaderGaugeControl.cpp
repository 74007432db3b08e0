#include "ui/controls/SettingHeaderGaugeControl.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "core/StringHelper.h"
#include "edit/EditService.h"
#include "edit/Object.h"
#include "edit/Scene.h"
#include "media/gpu/ResourceService.h"
#include "media/gpu/TextFormat.h"
#include "platform/draw2d/RenderTarget.h"
#include "platform/window/Menu.h"
#include "ui/controls/ControlInput.h"
#include "ui/framework/PopupMenu.h"
#include "ui/framework/StyleBrushList.h"
#include "ui/framework/WindowMouseService.h"
#include "ui/framework/WindowService.h"

namespace Control {

using Brushes = Window::StyleBrushList;
using Cursor = Window::WindowMouseService::MouseCursor;

namespace {

// Nearest integer, halves away from zero.
int32_t roundHalfAway(double value) { return static_cast<int32_t>(std::lround(value)); }

Resource::TextFormat* controlFormat() {
    Resource::ResourceService* resources = Resource::ResourceService::get();
    return resources != nullptr ? resources->textFormats[Resource::ResourceService::kControl].get() : nullptr;
}

}  // namespace

SettingHeaderGaugeControl::SettingHeaderGaugeControl(Window::ControlContainer& container, int32_t x, int32_t y,
                                                     int32_t w, int32_t h)
    : WindowControlRenderTarget(container, x, y, w, h) {}

SettingHeaderGaugeControl::SettingHeaderGaugeControl(Window::WindowControl& parent, int32_t x, int32_t y, int32_t w,
                                                     int32_t h)
    : WindowControlRenderTarget(parent, x, y, w, h) {}

void SettingHeaderGaugeControl::setObject(std::shared_ptr<Edit::Object> shown) {
    object = std::move(shown);
    startFrame = object ? object->start : 0;
    length = object ? object->end - object->start + 1 : 0;
    hoveredBoundary = -1;
    invalidate();
}

void SettingHeaderGaugeControl::sceneRate(int32_t& rate, int32_t& scale) const {
    rate = 30, scale = 1;
    if (const Edit::EditService* edit = Edit::EditService::instance(); edit != nullptr && edit->currentScene()) {
        rate = edit->currentScene()->videoRate;
        scale = edit->currentScene()->videoScale;
    }
}

void SettingHeaderGaugeControl::layoutGauge() {
    barWidth = std::max(fullRect.w - 2 * margin, 0);
    Resource::TextFormat* format = controlFormat();
    const int32_t line = format != nullptr ? static_cast<int32_t>(std::ceil(format->getLineHeight())) : 0;
    barHeight = std::max(fullRect.h - top - line, 0);
}

int32_t SettingHeaderGaugeControl::frameToX(int32_t frame) const {
    const int64_t offset = static_cast<int64_t>(frame) - startFrame;
    if (offset < 0 || offset >= length) return -1;
    if (barWidth < 2 || length < 2) return 0;
    return static_cast<int32_t>(static_cast<int64_t>(barWidth - 1) * offset / (length - 1));
}

int32_t SettingHeaderGaugeControl::xToFrame(int32_t x) const {
    if (barWidth < 2 || length < 2) return startFrame;
    const int64_t offset =
        (static_cast<int64_t>(length - 1) * (x - margin) + barWidth / 2) / static_cast<int64_t>(barWidth - 1);
    return startFrame + static_cast<int32_t>(offset);
}

int32_t SettingHeaderGaugeControl::boundaryFrame(int32_t k) const {
    if (!object || k <= 0) return startFrame;
    const auto m = static_cast<int32_t>(object->midpoints.size());
    if (k <= m) return object->start + object->midpoints[static_cast<size_t>(k - 1)];
    return object->end + 1;
}

int32_t SettingHeaderGaugeControl::hitTest(int32_t x) const {
    if (!object) return -1;
    const int64_t g = xToFrame(x);
    const int32_t s = object->getSectionIndex(static_cast<int32_t>(g));
    const int32_t b = std::abs(boundaryFrame(s + 1) - g) < std::abs(boundaryFrame(s) - g) ? s + 1 : s;
    const int32_t frame = boundaryFrame(b);
    return xToFrame(x - 8) <= frame && frame <= xToFrame(x + 8) ? b : -1;
}

void SettingHeaderGaugeControl::setCursor(int32_t frame) {
    if (!object) return;
    frame = std::clamp(frame, object->start, object->end);
    if (Edit::EditService* edit = Edit::EditService::instance()) edit->setCursorFrame(frame);
}

void SettingHeaderGaugeControl::seekToX(int32_t x) {
    layoutGauge();
    if (barWidth < 2 || length < 2) return;
    setCursor(xToFrame(x));
}

std::vector<int32_t> SettingHeaderGaugeControl::markPositions() const {
    std::vector<int32_t> marks;
    if (!object) return marks;
    const int32_t n = object->sectionCount();
    int32_t previous = -1;
    for (int32_t k = 1; k <= n - 1; ++k) {
        const int32_t x = frameToX(boundaryFrame(k));
        if (x == previous) continue;
        marks.push_back(x);
        previous = x;
    }
    return marks;
}

std::wstring SettingHeaderGaugeControl::formatShortTime(int32_t frames, int32_t rate, int32_t scale) {
    const double t = rate != 0 ? static_cast<double>(frames) * scale / rate : 0.0;
    const double a = std::fabs(t);
    const auto whole = static_cast<int64_t>(a);
    const auto hundredths = static_cast<int64_t>(std::floor(a * 100)) % 100;
    wchar_t text[48];
    std::swprintf(text, 48, L"%ls%02lld:%02lld.%02lld", t < 0 ? L"-" : L"", static_cast<long long>(whole / 60),
                  static_cast<long long>(whole % 60), static_cast<long long>(hundredths));
    return text;
}

std::wstring SettingHeaderGaugeControl::durationText() const {
    int32_t rate = 0, scale = 0;
    sceneRate(rate, scale);
    return L" " + formatShortTime(length, rate, scale);
}

std::wstring SettingHeaderGaugeControl::cursorText() const {
    int32_t rate = 0, scale = 0;
    sceneRate(rate, scale);
    return formatShortTime(cursorFrame - startFrame, rate, scale) + L" /";
}

bool SettingHeaderGaugeControl::cursorInside() const {
    return object && object->start <= cursorFrame && cursorFrame <= object->end;
}

std::wstring SettingHeaderGaugeControl::boundaryToolTip(int32_t b) const {
    int32_t rate = 0, scale = 0;
    sceneRate(rate, scale);
    const int32_t f = boundaryFrame(b);
    wchar_t absolute[16];
    System::formatTime(absolute, rate != 0 ? static_cast<double>(f) * scale / rate : 0.0);
    return std::wstring(absolute) + L" ( " + formatShortTime(f - startFrame, rate, scale) + L" )";
}

void SettingHeaderGaugeControl::procMouseMove(int32_t x, int32_t) {
    if (!object) return;
    layoutGauge();
    const int32_t b = hitTest(x);
    if (b != hoveredBoundary) {
        hoveredBoundary = b;
        invalidate();
        if (b != -1 && service != nullptr) service->trackHover(this);
    }
    if (hoveredBoundary != -1 && service != nullptr) service->currentCursor = &Cursor::Hand;
}

void SettingHeaderGaugeControl::procMouseLeave() {
    if (hoveredBoundary == -1) return;
    hoveredBoundary = -1;
    invalidate();
}

void SettingHeaderGaugeControl::procLButtonDown(int32_t x, int32_t) {
    if (!object || service == nullptr) return;
    if (hoveredBoundary != -1) {
        service->beginDrag(0, 0, &Cursor::Hand);
        layoutGauge();
        if (barWidth >= 2 && length >= 2) setCursor(boundaryFrame(hoveredBoundary));
        return;
    }
    service->beginDrag(0, 0, &Cursor::Arrow);
    seekToX(x);
}

void SettingHeaderGaugeControl::procMouseDrag(int32_t x, int32_t) {
    if (!object) return;
    if (service != nullptr) service->currentCursor = &Cursor::Arrow;
    seekToX(x);
}

void SettingHeaderGaugeControl::procMouseHover() {
    if (!object || hoveredBoundary == -1) return;
    Window::ControlInput::showToolTip(boundaryToolTip(hoveredBoundary));
}

void SettingHeaderGaugeControl::procMove() {
    const double h = fullRect.h;
    markerSize = roundHalfAway(h * 0.125) + 2;
    margin = roundHalfAway(h * 0.25);
    top = roundHalfAway(h / 4.5);
    layoutGauge();
}

void SettingHeaderGaugeControl::showMenu() {
    Window::PopupMenu menu;
    if (object) {
        const std::shared_ptr<Edit::Object> target = object;
        const int32_t frame = cursorFrame;
        const int32_t s = shownSection();
        const auto m = static_cast<int32_t>(object->midpoints.size());
        const Window::BaseMenu::Item add = menu.insertItem(L"カーソル位置に中間点を追加", [this, target, frame] {
            if (panel.addMidpoint) panel.addMidpoint(target, frame);
        });
        if (!object->canCreateSection(cursorFrame))
            Platform::window::enableMenuItem(add.menu, static_cast<uint32_t>(add.id), false);
        const Window::BaseMenu::Item remove = menu.insertItem(L"中間点を削除", [this, target, s] {
            if (panel.deleteMidpoint) panel.deleteMidpoint(target, s);
        });
        if (s < 1 || s > m) Platform::window::enableMenuItem(remove.menu, static_cast<uint32_t>(remove.id), false);
    } else if (panel.panelMenu) {
        panel.panelMenu(menu);
    }
    menu.show();
}

void SettingHeaderGaugeControl::procPaint() {
    if (!canPaint()) return;
    const ControlScope scope(*this);
    fillRectangle(visibleRect.x - fullRect.x, visibleRect.y - fullRect.y, visibleRect.x - fullRect.x + visibleRect.w,
                  visibleRect.y - fullRect.y + visibleRect.h, brush(Brushes::Grouping));
    layoutGauge();
    if (barWidth < 1) return;
    originX += margin, originY += top;
    Window::StyleBrushList& brushes = Window::WindowService::get()->brushes;
    fillRectangle(0, 0, barWidth, markerSize, brush(Brushes::Background));
    fillRectangleGradient(0, markerSize, barWidth, barHeight, brushes.gradient(Brushes::ObjectVideo));
    const auto edgeLine = [&](float x, int32_t ink) {
        drawLineF(x + 0.5f, 0, x + 0.5f, static_cast<float>(barHeight), brush(ink), 1.0f, nullptr);
    };
    const auto midpointMark = [&](int32_t x, int32_t ink) {
        drawLine(x, markerSize, x, barHeight, brush(ink), 1, nullptr);
        fillDot(x, markerSize / 2 - 1, brush(ink));
    };
    Resource::TextFormat* format = controlFormat();
    const auto drawTextAt = [&](const std::wstring& text, int32_t right, int32_t ink) {
        if (format == nullptr) return 0;
        Resource::TextLayout layout;
        layout.create(*format, text.c_str(), static_cast<int32_t>(text.size()));
        const auto width = static_cast<int32_t>(std::ceil(layout.getSize().width));
        target->drawTextLayout({float(originX + right - width), float(originY + barHeight - 1)}, *layout.get(),
                               brush(ink));
        return width;
    };
    const float endX = static_cast<float>(barWidth - 1);
    if (!object) {
        edgeLine(0, Brushes::Border);
        edgeLine(endX, Brushes::Border);
        drawTextAt(L"--:--.-- / --:--.--", barWidth - 1, Brushes::TextDisable);
        return;
    }
    const int32_t s = shownSection(), n = object->sectionCount(), mode = viewMode();
    const auto sectionX = [&](int32_t k) { return k >= n ? barWidth - 1 : frameToX(boundaryFrame(k)); };
    if (n >= 2 && mode == 2)
        fillRectangle(frameToX(boundaryFrame(s)), markerSize, sectionX(s + 1), barHeight,
                      brush(Brushes::ObjectVideoSelect));
    edgeLine(0, Brushes::Border);
    edgeLine(endX, Brushes::Border);
    for (const int32_t x : markPositions()) midpointMark(x, Brushes::Border);
    if (hoveredBoundary == 0)
        edgeLine(0, Brushes::BorderSelect);
    else if (hoveredBoundary == n)
        edgeLine(endX, Brushes::BorderSelect);
    else if (hoveredBoundary > 0)
        midpointMark(frameToX(boundaryFrame(hoveredBoundary)), Brushes::BorderSelect);
    const auto sectionMarker = [&](int32_t k) {
        const int32_t x = sectionX(k);
        if (x < 0) return;
        const float fx = static_cast<float>(x), m = static_cast<float>(markerSize);
        const float points[6] = {fx - m + 2, 1, fx + m - 1, 1, fx + 0.5f, m};
        fillPath(points, brush(hoveredBoundary == k ? Brushes::BorderSelect : Brushes::ObjectSection));
    };
    sectionMarker(s);
    if (mode == 2) sectionMarker(s + 1);
    const int32_t durationWidth = drawTextAt(durationText(), barWidth - 1, Brushes::Text);
    drawTextAt(cursorText(), barWidth - 1 - durationWidth, cursorInside() ? Brushes::Text : Brushes::TextDisable);
    const int32_t cursorX = frameToX(cursorFrame);
    if (cursorX >= 0) drawLine(cursorX, 0, cursorX, barHeight, brush(Brushes::FrameCursor), 1, nullptr);
}

}  // namespace Control
