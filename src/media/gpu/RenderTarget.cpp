#include "media/gpu/RenderTarget.h"

#include <exception>

#include "core/Exception.h"
#include "platform/draw2d/WindowTarget.h"

namespace Media {

namespace D2 = Platform::draw2d;

RenderTarget::DrawScope::DrawScope(RenderTarget& target, int32_t left, int32_t top, int32_t right, int32_t bottom,
                                   bool absolute)
    : target_(target),
      changed_(target),
      savedLeft_(target.left),
      savedTop_(target.top),
      savedWidth_(target.width),
      savedHeight_(target.height),
      savedOriginX_(target.originX),
      savedOriginY_(target.originY),
      exceptions_(std::uncaught_exceptions()) {
    target.beginDraw();
    const int32_t w = right - left, h = bottom - top;
    if (absolute) {
        if (left == savedLeft_ && top == savedTop_ && w == savedWidth_ && h == savedHeight_) {
            target.originX = left;
            target.originY = top;
            return;
        }
        target.left = left;
        target.top = top;
    } else {
        target.left = savedLeft_ + left;
        target.top = savedTop_ + top;
    }
    target.width = w;
    target.height = h;
    target.originX = target.left;
    target.originY = target.top;
    try {
        if (target.target == nullptr)
            throw System::hresultException("target->PushAxisAlignedClip", "Media::RenderTarget::DrawScope",
                                           D2::kWrongState);
        target.target->pushAxisAlignedClip({float(target.left), float(target.top), float(target.left + w),
                                            float(target.top + h)},
                                           D2::AntialiasMode::Aliased);
        clipped_ = true;
    } catch (...) {
        target.left = savedLeft_, target.top = savedTop_, target.width = savedWidth_, target.height = savedHeight_;
        target.originX = savedOriginX_, target.originY = savedOriginY_;
        target.endDraw();
        throw;
    }
}

RenderTarget::DrawScope::~DrawScope() noexcept(false) {
    if (clipped_ && changed_.target != nullptr) changed_.target->popAxisAlignedClip();
    changed_.left = savedLeft_;
    changed_.top = savedTop_;
    changed_.width = savedWidth_;
    changed_.height = savedHeight_;
    changed_.originX = savedOriginX_;
    changed_.originY = savedOriginY_;
    if (std::uncaught_exceptions() > exceptions_) {
        // Leaving because of another exception: end quietly.
        try {
            target_.endDraw();
        } catch (...) {
        }
        return;
    }
    target_.endDraw();
}

void RenderTarget::beginDraw() {
    if (root->drawCount++ == 0 && root->target != nullptr) root->target->beginDraw();
}

void RenderTarget::endDraw() {
    if (root->drawCount <= 0) return;
    if (--root->drawCount == 0 && root->target != nullptr) {
        if (const auto hr = root->target->endDraw(); Platform::failed(hr))
            throw System::hresultException("target->EndDraw", "Media::RenderTarget::endDraw", hr);
    }
}

void RenderTarget::drawRectangle(int32_t l, int32_t t, int32_t r, int32_t b, const D2::Brush& brush, int32_t w,
                                 const D2::StrokeStyle* style) {
    target->drawRectangle({float(originX + l) + 0.5f, float(originY + t) + 0.5f, float(originX + r) - 0.5f,
                           float(originY + b) - 0.5f},
                          brush, float(w), style);
}

void RenderTarget::fillRectangle(int32_t l, int32_t t, int32_t r, int32_t b, const D2::Brush& brush) {
    target->fillRectangle({float(originX + l), float(originY + t), float(originX + r), float(originY + b)}, brush);
}

void RenderTarget::fillRectangleGradient(int32_t l, int32_t t, int32_t r, int32_t b, D2::LinearGradientBrush& brush) {
    const float mid = float((originY + t) + (originY + b)) / 2;
    brush.setStartPoint({float(originX + l), mid});
    brush.setEndPoint({float(originX + r), mid});
    fillRectangle(l, t, r, b, brush);
}

void RenderTarget::drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const D2::Brush& brush, int32_t w,
                            const D2::StrokeStyle* style) {
    target->drawLine({float(originX + x1) + 0.5f, float(originY + y1) + 0.5f},
                     {float(originX + x2) + 0.5f, float(originY + y2) + 0.5f}, brush, float(w), style);
}

void RenderTarget::drawBitmap(const D2::Bitmap& bitmap, int32_t l, int32_t t, int32_t r, int32_t b, float opacity) {
    const D2::RectF destination{float(originX + l), float(originY + t), float(originX + r), float(originY + b)};
    target->drawBitmap(bitmap, &destination, opacity, D2::Interpolation::Linear, nullptr);
}

void RenderTarget::fillDot(int32_t x, int32_t y, const D2::Brush& brush) {
    target->fillEllipse({{float(originX + x) + 0.5f, float(originY + y) + 0.5f}, 2, 2}, brush);
}

std::unique_ptr<D2::PathGeometry> RenderTarget::closedFigure(const float* points, uint32_t count, const char* scope) {
    auto path = std::make_unique<D2::PathGeometry>();
    D2::GeometrySink* sink = nullptr;
    if (const auto hr = path->open(sink); Platform::failed(hr)) throw System::hresultException("path->Open", scope, hr);
    if (count > 0) {
        sink->beginFigure({points[0] + float(originX), points[1] + float(originY)}, D2::FigureBegin::Filled);
        for (uint32_t i = 1; i < count; ++i)
            sink->addLine({points[2 * i] + float(originX), points[2 * i + 1] + float(originY)});
        sink->endFigure(D2::FigureEnd::Closed);
    }
    if (const auto hr = sink->close(); Platform::failed(hr)) throw System::hresultException("slink->Close", scope, hr);
    return path;
}

void RenderTarget::drawPath(const float* points, uint32_t count, const D2::Brush& brush, float w,
                            const D2::StrokeStyle* style) {
    const auto path = closedFigure(points, count, "Media::RenderTarget::drawPath");
    target->drawGeometry(*path, brush, w, style);
}

void RenderTarget::fillPath(const float* points, const D2::Brush& brush) {
    const auto path = closedFigure(points, 3, "Media::RenderTarget::fillPath");
    target->fillGeometry(*path, brush);
}

RenderTargetWindow::RenderTargetWindow() = default;
RenderTargetWindow::~RenderTargetWindow() = default;

void RenderTargetWindow::createRenderTarget(Platform::window::WindowHandle window) {
    static constexpr const char* kScope = "Media::RenderTargetWindow::createRenderTarget";
    target = nullptr;
    windowTarget_.reset();
    std::unique_ptr<D2::WindowTarget> made;
    if (const auto hr = D2::WindowTarget::create(window, made); Platform::failed(hr))
        throw System::hresultException("Direct2D.factory->CreateHwndRenderTarget", kScope, hr);
    windowTarget_ = std::move(made);
    target = windowTarget_.get();
    root->target = target;
    resizeRenderTarget();
}

void RenderTargetWindow::resizeRenderTarget() {
    if (windowTarget_ == nullptr) return;
    width = int32_t(windowTarget_->pixelWidth());
    height = int32_t(windowTarget_->pixelHeight());
}

void WindowTemporaryImage::pushImage(RenderTarget& area, int32_t x0, int32_t w, int32_t h) {
    static constexpr const char* kScope = "Media::WindowTemporaryImage::pushImage";
    if (!image || w != width || h != height) {
        image.reset();
        std::unique_ptr<D2::Bitmap> made;
        if (const auto hr = area.target->createBitmap(uint32_t(std::max(w, 1)), uint32_t(std::max(h, 1)), made);
            Platform::failed(hr))
            throw System::hresultException("render->target->CreateBitmap", kScope, hr);
        image = std::move(made);
    }
    render = &area;
    originX = &area.originX;
    originY = &area.originY;
    x = x0;
    y = 0;
    width = w;
    height = h;
    const int32_t ox = area.originX, oy = area.originY;
    if (const auto hr = image->copyFromRenderTarget(0, 0, *area.target, ox + x, oy, ox + x + w, oy + h);
        Platform::failed(hr))
        throw System::hresultException("image->CopyFromRenderTarget", kScope, hr);
}

void WindowTemporaryImage::popImage() {
    if (!image || render == nullptr) return;
    render->beginDraw();
    const float ox = float(*originX), oy = float(*originY);
    const D2::RectF at{ox + float(x), oy + float(y), ox + float(x + width), oy + float(y + height)};
    const D2::RectF source{0, 0, float(width), float(height)};
    render->target->drawBitmap(*image, &at, 1, D2::Interpolation::NearestNeighbor, &source);
    render->endDraw();
}

}  // namespace Media
