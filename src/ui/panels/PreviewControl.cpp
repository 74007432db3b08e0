#include "ui/panels/PreviewControl.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "core/SettingService.h"
#include "media/image/ImageBuffer.h"
#include "platform/draw2d/Bitmap.h"
#include "platform/window/Menu.h"
#include "ui/framework/BaseMenu.h"
#include "ui/framework/StyleMetrics.h"
#include "ui/framework/WindowService.h"

namespace Component {

namespace {

// Laid out this far past the far edge, a scroll bar has no size and takes no input.
constexpr int32_t kOutOfLayout = 1 << 20;

}  // namespace

PreviewControl::PreviewControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h,
                               int32_t* zoom)
    : WindowControlRenderTarget(container, x, y, w, h),
      zoom_(zoom != nullptr ? zoom : &ownZoom_),
      canvas_(*this, 0, 0, -Window::ScrollBarSize, -Window::ScrollBarSize),
      horizontal_(*this, 0, -Window::ScrollBarSize, -Window::ScrollBarSize, Window::ScrollBarSize),
      vertical_(*this, -Window::ScrollBarSize, 0, Window::ScrollBarSize, 0) {
    horizontal_.scrollAction = [this](Control::ScrollBarControl&, int32_t first) { scrollTo(first, scrollY()); };
    vertical_.scrollAction = [this](Control::ScrollBarControl&, int32_t first) { scrollTo(scrollX(), first); };
    hideScrollBars();
}

PreviewControl::~PreviewControl() = default;

PreviewControl::Placement PreviewControl::fitFrame(int32_t frameWidth, int32_t frameHeight, int32_t width,
                                                   int32_t height) {
    if (frameWidth <= 0 || frameHeight <= 0 || width <= 0 || height <= 0) return {};
    // Compare width * frameHeight with height * frameWidth to stay in integers.
    const int64_t across = int64_t(width) * frameHeight, down = int64_t(height) * frameWidth;
    int32_t w = width, h = height;
    if (across > down)
        w = static_cast<int32_t>(down / frameHeight);
    else
        h = static_cast<int32_t>(across / frameWidth);
    w = std::max(w, 1);
    h = std::max(h, 1);
    const int32_t left = (width - w) / 2, top = (height - h) / 2;
    return {left, top, left + w, top + h};
}

PreviewControl::Placement PreviewControl::framePlacement() const {
    const Anchor::AnchorControl::ImageRect& r = canvas_.imageRect();
    return {canvas_.fullRect.x - fullRect.x + static_cast<int32_t>(std::lround(r.left)),
            canvas_.fullRect.y - fullRect.y + static_cast<int32_t>(std::lround(r.top)),
            canvas_.fullRect.x - fullRect.x + static_cast<int32_t>(std::lround(r.right)),
            canvas_.fullRect.y - fullRect.y + static_cast<int32_t>(std::lround(r.bottom))};
}

PreviewControl::Layout PreviewControl::layoutFrame(int32_t bw, int32_t bh, int32_t w, int32_t h, int32_t zoom,
                                                   int32_t scrollX, int32_t scrollY) {
    Layout out;
    if (bw <= 0 || bh <= 0) return out;
    if (zoom < 1) {
        // Unsigned products, as a wide frame on a tall canvas needs no more.
        const uint32_t ubw = static_cast<uint32_t>(bw), ubh = static_cast<uint32_t>(bh);
        const uint32_t uw = static_cast<uint32_t>(std::max(w, 0)), uh = static_cast<uint32_t>(std::max(h, 0));
        if (ubh * uw < ubw * uh) {
            const float height = static_cast<float>(ubh * uw / ubw);
            const float top = (static_cast<float>(h) - height) / 2;
            out.left = 0;
            out.top = top;
            out.right = static_cast<float>(w);
            out.bottom = top + height;
        } else {
            const float width = static_cast<float>(ubw * uh / ubh);
            const float left = (static_cast<float>(w) - width) / 2;
            out.left = left;
            out.top = 0;
            out.right = left + width;
            out.bottom = static_cast<float>(h);
        }
        return out;
    }
    const float fw = static_cast<float>(bw) * static_cast<float>(zoom) * 0.01f;
    const float fh = static_cast<float>(bh) * static_cast<float>(zoom) * 0.01f;
    int32_t x = (w - static_cast<int32_t>(fw)) / 2;
    int32_t y = (h - static_cast<int32_t>(fh)) / 2;
    if (x < 0 || y < 0) {
        out.contentWidth = static_cast<int32_t>(std::lround(fw));
        out.contentHeight = static_cast<int32_t>(std::lround(fh));
        if (x < 0) x = -scrollX;
        if (y < 0) y = -scrollY;
    }
    out.left = static_cast<float>(x);
    out.top = static_cast<float>(y);
    out.right = static_cast<float>(x) + fw;
    out.bottom = static_cast<float>(y) + fh;
    return out;
}

Anchor::AnchorControl::ImageRect PreviewControl::imageRect() {
    if (!bitmap_) {
        hideScrollBars();
        return {};
    }
    const auto bw = static_cast<int32_t>(bitmap_->width()), bh = static_cast<int32_t>(bitmap_->height());
    const int32_t z = zoom();
    // The bars take room from the canvas: lay out with them as they stand, then again when that changed them.
    Layout at = layoutFrame(bw, bh, canvas_.fullRect.w, canvas_.fullRect.h, z, scrollX(), scrollY());
    if (at.contentWidth > 0 || at.contentHeight > 0)
        showScrollBars(at.contentWidth, at.contentHeight);
    else
        hideScrollBars();
    at = layoutFrame(bw, bh, canvas_.fullRect.w, canvas_.fullRect.h, z, scrollX(), scrollY());
    return {at.left, at.top, at.right, at.bottom};
}

void PreviewControl::relayout() {
    if (container == nullptr || relayingOut_) return;
    relayingOut_ = true;
    container->updateChildLayout();
    relayingOut_ = false;
}

void PreviewControl::showScrollBars(int32_t contentWidth, int32_t contentHeight) {
    if (barsShown_ && contentWidth == contentWidth_ && contentHeight == contentHeight_) return;
    float fx = 0.5f, fy = 0.5f;
    const auto centreOf = [](const Control::ScrollBarControl& bar) {
        const float span = static_cast<float>(bar.maximum - bar.minimum + 1);
        return span > 0 ? ((static_cast<float>(bar.first + bar.last + 1) / 2) - static_cast<float>(bar.minimum)) / span
                        : 0.5f;
    };
    if (barsShown_) {
        fx = centreOf(horizontal_);
        fy = centreOf(vertical_);
    } else {
        barsShown_ = true;
        canvas_.layoutW = canvas_.layoutH = -Window::ScrollBarSize;
        horizontal_.layoutX = 0;
        horizontal_.layoutY = -Window::ScrollBarSize;
        horizontal_.layoutW = -Window::ScrollBarSize;
        horizontal_.layoutH = Window::ScrollBarSize;
        vertical_.layoutX = -Window::ScrollBarSize;
        vertical_.layoutY = 0;
        vertical_.layoutW = Window::ScrollBarSize;
        vertical_.layoutH = 0;
        horizontal_.visible = vertical_.visible = true;
        relayout();
    }
    contentWidth_ = contentWidth;
    contentHeight_ = contentHeight;
    const auto place = [](Control::ScrollBarControl& bar, int32_t content, int32_t page, float fraction) {
        bar.minimum = std::min(content, 0);
        bar.maximum = std::max(content, 0);
        bar.setPosition(bar.first, bar.last);
        bar.setPosition(0, page);
        const int32_t range = bar.maximum - bar.minimum;
        if (page < range) {
            int32_t first = static_cast<int32_t>(std::lround(static_cast<float>(range + 1) * fraction -
                                                             static_cast<float>(page) * 0.5f)) +
                            bar.minimum;
            first = std::clamp(first, bar.minimum, bar.maximum - page);
            bar.setPosition(first, first + page);
        }
        bar.procMove();
    };
    place(horizontal_, contentWidth, canvas_.fullRect.w, fx);
    place(vertical_, contentHeight, canvas_.fullRect.h, fy);
    horizontal_.invalidate();
    vertical_.invalidate();
}

void PreviewControl::hideScrollBars() {
    if (!barsShown_) return;
    barsShown_ = false;
    contentWidth_ = contentHeight_ = -1;
    canvas_.layoutW = canvas_.layoutH = 0;
    for (Control::ScrollBarControl* bar : {&horizontal_, &vertical_}) {
        bar->layoutX = bar->layoutY = 0;
        bar->layoutW = bar->layoutH = -kOutOfLayout;
        bar->visible = false;
    }
    relayout();
}

void PreviewControl::scrollTo(int32_t x, int32_t y) {
    const auto move = [this](Control::ScrollBarControl& bar, int32_t value) {
        if (value == bar.first) return;
        const int32_t page = bar.last - bar.first;
        const int32_t first = std::max(bar.minimum, std::min(value, bar.maximum - page));
        bar.setPosition(first, first + page);
        bar.procMove();
        bar.invalidate();
        canvas_.invalidate();
    };
    move(horizontal_, x);
    move(vertical_, y);
}

void PreviewControl::setZoom(int32_t percent) {
    *zoom_ = percent;
    canvas_.invalidate();
}

int32_t PreviewControl::fittedZoom() const {
    if (!bitmap_ || bitmap_->width() == 0 || bitmap_->height() == 0) return 100;
    return std::min(canvas_.fullRect.h * 100 / static_cast<int32_t>(bitmap_->height()),
                    canvas_.fullRect.w * 100 / static_cast<int32_t>(bitmap_->width()));
}

void PreviewControl::addZoomMenu(Window::BaseMenu& menu) {
    Setting::SettingService* settings = Setting::SettingService::get();
    if (settings == nullptr) return;
    const std::vector<System::IniFile::VALUE> choices = settings->system.config.getValue("PreviewZoom").split(",");
    for (const System::IniFile::VALUE& choice : choices) {
        // A part that is not a whole number counts as none.
        int32_t value = -1;
        const std::string& text = choice.text;
        const size_t first = text.find_first_not_of(" \t"), last = text.find_last_not_of(" \t");
        if (first != std::string::npos) {
            const char* begin = text.data() + first;
            const char* end = text.data() + last + 1;
            int32_t parsed = 0;
            const auto [stop, error] = std::from_chars(begin, end, parsed);
            if (error == std::errc() && stop == end) value = parsed;
        }
        if (value < 0) continue;
        const std::wstring label = value == 0 ? L"WindowSize" : std::to_wstring(value) + L"%";
        const Window::BaseMenu::Item item = menu.insertItem(label, [this, value] { setZoom(value); });
        if (value == zoom()) Platform::window::checkMenuItem(item.menu, static_cast<uint32_t>(item.id), true);
    }
}

void PreviewControl::setImage(const Media::ImageBuffer& image) {
    if (image.width == 0 || image.height == 0 || target == nullptr) {
        bitmap_.reset();
        return;
    }
    bitmap_ = image.createRenderTargetBitmap(*target, Platform::draw2d::AlphaMode::Ignore);
}

void PreviewControl::procMove() {
    if (!barsShown_ || relayingOut_) return;
    // The bars keep the frame's centre where it was.
    const int32_t w = contentWidth_, h = contentHeight_;
    contentWidth_ = contentHeight_ = -1;
    showScrollBars(w, h);
}

void PreviewControl::procPaint() {
    if (!canPaint() || fullRect.w <= 0 || fullRect.h <= 0) return;
    const DrawScope scope(*this, fullRect.x, fullRect.y, fullRect.x + fullRect.w, fullRect.y + fullRect.h, true);
    canvas_.procPaint();
    if (barsShown_) {
        horizontal_.procPaint();
        vertical_.procPaint();
    }
}

}  // namespace Component
