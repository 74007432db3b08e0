#include "ui/controls/TitleHeaderControl.h"

#include <cmath>
#include <utility>

#include "core/TranslateService.h"
#include "media/gpu/ResourceService.h"
#include "media/gpu/TextFormat.h"
#include "platform/draw2d/RenderTarget.h"
#include "ui/framework/StyleBrushList.h"
#include "ui/framework/StyleMetrics.h"
#include "ui/framework/WindowMouseService.h"

namespace Control {

using Brushes = Window::StyleBrushList;

TitleHeaderControl::TitleHeaderControl(Window::ControlContainer& container, std::wstring shown)
    : WindowControlRenderTarget(container, 0, 0, 0, Window::TitleHeaderHeight + 2), title(std::move(shown)) {
    service->unregisterMouse(this);
}

void TitleHeaderControl::procPaint() {
    if (!canPaint()) return;
    const ControlScope scope(*this);
    const int32_t w = fullRect.w, h = fullRect.h, t = Window::TitleHeaderHeight;
    fillRectangle(0, 0, w, t, brush(Brushes::TitleHeader));
    fillRectangle(0, t, w, h, brush(Brushes::Background));
    Resource::ResourceService* resources = Resource::ResourceService::get();
    Resource::TextFormat* format =
        resources != nullptr ? resources->textFormats[Resource::ResourceService::kControlSmall].get() : nullptr;
    drawnSubTextX = -1;
    if (format == nullptr) return;
    const Translate::TranslateService* translation = Translate::TranslateService::get();
    const std::wstring shown = translation != nullptr ? translation->getMenuText(title) : title;
    Resource::TextLayout titleLayout;
    titleLayout.create(*format, shown.c_str(), static_cast<int32_t>(shown.size()));
    const auto size = titleLayout.getSize();
    const float tw = std::ceil(size.width), th = std::ceil(size.height);
    drawnTitleWidth = static_cast<int32_t>(tw);
    target->drawTextLayout({float(originX) + 3.0f, float(originY) + (float(t) - th) / 2.0f + 1.0f},
                           *titleLayout.get(), brush(Brushes::Text));
    if (subText.empty()) return;
    Resource::TextLayout subLayout;
    subLayout.create(*format, subText.c_str(), static_cast<int32_t>(subText.size()));
    const float sh = std::ceil(subLayout.getSize().height);
    drawnSubTextX = drawnTitleWidth + 9;
    target->drawTextLayout({float(originX) + tw + 9.0f, float(originY) + (float(t) - sh) / 2.0f + 1.0f},
                           *subLayout.get(), brush(Brushes::Text));
}

}  // namespace Control
