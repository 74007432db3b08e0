#include "ui/framework/FooterBar.h"

#include <algorithm>
#include <cmath>

#include "core/TranslateService.h"
#include "media/gpu/ResourceService.h"
#include "platform/draw2d/RenderTarget.h"
#include "ui/framework/StyleBrushList.h"
#include "ui/framework/StyleMetrics.h"
#include "ui/framework/WindowMouseService.h"
#include "ui/framework/WindowService.h"

namespace Window {

namespace {

struct LaidOut {
    Resource::TextLayout layout;
    int32_t width = 0;
    int32_t height = 0;
};

// An empty text needs no layout (and no font): it has no size.
void layOut(LaidOut& out, Resource::TextFormat* format, const std::wstring& text) {
    if (text.empty() || format == nullptr) return;
    out.layout.create(*format, text.c_str(), static_cast<int32_t>(text.size()));
    const auto size = out.layout.getSize();
    out.width = static_cast<int32_t>(std::ceil(size.width));
    out.height = static_cast<int32_t>(std::ceil(size.height));
}

}  // namespace

FooterBar::FooterBar(WindowService& service)
    : area(service),
      textFormat(Resource::ResourceService::get() != nullptr
                     ? Resource::ResourceService::get()->textFormats[Resource::ResourceService::kFooter].get()
                     : nullptr),
      windowService(&service),
      router(WindowMouseService::get()),
      brushes(&service.brushes) {}

void FooterBar::setText(const std::wstring* left, const std::wstring* right) {
    const bool changed = (left != nullptr && *left != leftText) || (right != nullptr && *right != rightText);
    if (!changed) return;
    if (left != nullptr) leftText = *left;
    if (right != nullptr) rightText = *right;
    draw();
}

void FooterBar::setProgress(const std::wstring& text, const std::wstring* detail, float progress) {
    std::wstring shown = Translate::translated(Translate::TranslateService::Table::Message, text.c_str());
    // Without a message a detail alone would keep the progress (and the wait cursor) up for good.
    if (detail != nullptr && !text.empty()) shown += L" " + *detail;
    if (shown == message) {
        if (progress != ratio || std::isnan(progress)) {
            ratio = progress;
            draw();
        }
        return;
    }
    message = shown;
    if (router != nullptr) {
        router->currentCursor =
            message.empty() ? &WindowMouseService::MouseCursor::Arrow : &WindowMouseService::MouseCursor::Wait;
        router->applyCursor();
    }
    ratio = progress;
    draw();
}

void FooterBar::draw() {
    // Also once the window went (its target is no longer drawn on).
    if (area.target == nullptr || area.root->target == nullptr) return;
    const int32_t width = windowService->width;
    const int32_t height = FooterHeight;
    const int32_t top = windowService->height - height;
    const int32_t p = height / 3;
    const Media::RenderTarget::DrawScope footer(area, 0, top, width, top + height, true);
    if (!message.empty()) {
        area.fillRectangle(0, 0, width, height, brushes->get(StyleBrushList::FooterProgress0));
        if (ratio > 0)
            area.fillRectangle(0, 0, static_cast<int32_t>(float(width) * ratio), height,
                               brushes->get(StyleBrushList::FooterProgress1));
    } else {
        area.fillRectangle(0, 0, width, height, brushes->get(StyleBrushList::Footer));
    }
    const std::wstring& leftString = message.empty() ? leftText : message;
    LaidOut left, right;
    layOut(left, textFormat, leftString);
    layOut(right, textFormat, rightText);
    const int32_t rightX = width - right.width - p;
    if (right.layout.get() != nullptr)
        area.target->drawTextLayout({float(area.originX + rightX), float(area.originY + (height - right.height) / 2)},
                                    *right.layout.get(), brushes->get(StyleBrushList::Text));
    const int32_t clip = std::clamp(rightX - p, 0, windowService->width);
    const Media::RenderTarget::DrawScope leftPart(area, 0, 0, clip, height, false);
    if (left.layout.get() != nullptr)
        area.target->drawTextLayout({float(area.originX + p), float(area.originY + (height - left.height) / 2)},
                                    *left.layout.get(), brushes->get(StyleBrushList::Text));
}

}  // namespace Window
