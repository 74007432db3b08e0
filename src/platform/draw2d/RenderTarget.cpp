#include "platform/draw2d/RenderTarget.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/draw2d/Internal.h"
#include "platform/draw2d/Lock.h"

namespace Platform::draw2d {

namespace {

constexpr uint32_t kMaxSize = 16384;
// Cairo keeps device coordinates in 24.8 fixed point and its rasteriser
// multiplies them; points much past the surface wrap around (or crash it), so
// they are held at a million pixels, far beyond any target.
constexpr double kCoordinateLimit = double(1 << 20);

struct DeviceRect {
    double left, top, right, bottom;
};

}  // namespace

cairo_matrix_t toCairo(const Matrix3x2F& m) {
    cairo_matrix_t c;
    cairo_matrix_init(&c, m.m11, m.m12, m.m21, m.m22, m.dx, m.dy);
    return c;
}

void setSource(cairo_t* cr, const Brush& brush) {
    if (brush.kind() == Brush::Kind::Solid) {
        const ColorF c = static_cast<const SolidColorBrush&>(brush).color;
        cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a * brush.opacity);
        return;
    }
    const auto& g = static_cast<const LinearGradientBrush&>(brush);
    cairo_pattern_t* p = cairo_pattern_create_linear(g.start.x, g.start.y, g.end.x, g.end.y);
    for (const GradientStop& s : g.stops)
        cairo_pattern_add_color_stop_rgba(p, s.position, s.color.r, s.color.g, s.color.b, s.color.a * brush.opacity);
    cairo_pattern_set_extend(p, CAIRO_EXTEND_PAD);
    cairo_matrix_t m = toCairo(brush.transform);
    if (cairo_matrix_invert(&m) == CAIRO_STATUS_SUCCESS) cairo_pattern_set_matrix(p, &m);
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
}

namespace {

cairo_line_cap_t capOf(CapStyle cap) {
    switch (cap) {
    case CapStyle::Square: return CAIRO_LINE_CAP_SQUARE;
    // Cairo has no triangle; the round cap covers the same length.
    case CapStyle::Round:
    case CapStyle::Triangle: return CAIRO_LINE_CAP_ROUND;
    default: return CAIRO_LINE_CAP_BUTT;
    }
}

}  // namespace

bool setStroke(cairo_t* cr, float width, const StrokeStyle* style) {
    if (!(width > 0) || !std::isfinite(width)) return false;
    width = std::min<float>(width, float(kCoordinateLimit));
    cairo_set_line_width(cr, width);
    if (style == nullptr) {
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
        cairo_set_miter_limit(cr, 5);
        cairo_set_dash(cr, nullptr, 0, 0);
        return true;
    }
    const StrokeStyleDesc& d = style->desc();
    const auto& dashes = style->dashes();
    cairo_set_line_cap(cr, capOf(dashes.empty() ? d.startCap : d.dashCap));
    switch (d.lineJoin) {
    case LineJoin::Bevel: cairo_set_line_join(cr, CAIRO_LINE_JOIN_BEVEL); break;
    case LineJoin::Round: cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND); break;
    default: cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER); break;
    }
    // The limit is given against half the stroke width; cairo's is against the whole.
    cairo_set_miter_limit(cr, d.miterLimit / 2);
    double period = 0;
    for (float dash : dashes) period += dash;
    // A pattern finer than a quarter pixel shows as a solid line (and would cost a dash per step).
    if (dashes.empty() || period * width < 0.25 || !std::isfinite(double(d.dashOffset))) {
        cairo_set_dash(cr, nullptr, 0, 0);
    } else {
        std::vector<double> scaled(dashes.size());
        for (size_t i = 0; i < dashes.size(); ++i) scaled[i] = double(dashes[i]) * width;
        cairo_set_dash(cr, scaled.data(), static_cast<int>(scaled.size()),
                       std::fmod(double(d.dashOffset), period) * width);
    }
    return true;
}

bool DevicePath::toDevice(Point2F p, double& x, double& y) const {
    x = double(p.x) * m_.m11 + double(p.y) * m_.m21 + m_.dx;
    y = double(p.x) * m_.m12 + double(p.y) * m_.m22 + m_.dy;
    if (!std::isfinite(x) || !std::isfinite(y)) return false;
    x = std::clamp(x, -kCoordinateLimit, kCoordinateLimit);
    y = std::clamp(y, -kCoordinateLimit, kCoordinateLimit);
    return true;
}

DevicePath::DevicePath(cairo_t* cr, const Matrix3x2F& m) : cr_(cr), m_(m) {
    cairo_new_path(cr_);
    cairo_identity_matrix(cr_);
}

void DevicePath::move(Point2F p) {
    double x, y;
    if (toDevice(p, x, y))
        cairo_move_to(cr_, x, y);
    else
        ok_ = false;
}

void DevicePath::line(Point2F p) {
    double x, y;
    if (toDevice(p, x, y))
        cairo_line_to(cr_, x, y);
    else
        ok_ = false;
}

void DevicePath::curve(Point2F a, Point2F b, Point2F c) {
    double x1, y1, x2, y2, x3, y3;
    if (toDevice(a, x1, y1) && toDevice(b, x2, y2) && toDevice(c, x3, y3))
        cairo_curve_to(cr_, x1, y1, x2, y2, x3, y3);
    else
        ok_ = false;
}

void DevicePath::close() { cairo_close_path(cr_); }

bool DevicePath::finish() {
    const cairo_matrix_t m = toCairo(m_);
    cairo_set_matrix(cr_, &m);
    if (!ok_) cairo_new_path(cr_);
    return ok_;
}

bool appendPath(cairo_t* cr, const Geometry& geometry, bool forFill, const Matrix3x2F& transform) {
    DevicePath path(cr, transform);
    const auto& filled = geometry.filledFigures();
    size_t figure = 0;
    bool skip = false;
    for (const PathElement& e : geometry.elements()) {
        if (e.op == PathElement::Op::Move) {
            skip = forFill && figure < filled.size() && !filled[figure];
            ++figure;
        }
        if (skip) continue;
        switch (e.op) {
        case PathElement::Op::Move: path.move(e.p[0]); break;
        case PathElement::Op::Line: path.line(e.p[0]); break;
        case PathElement::Op::Cubic: path.curve(e.p[0], e.p[1], e.p[2]); break;
        case PathElement::Op::Close: path.close(); break;
        }
    }
    cairo_set_fill_rule(cr,
                        geometry.fillMode() == FillMode::Winding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
    return path.finish();
}

struct RenderTarget::State {
    cairo_t* cr = nullptr;
    cairo_surface_t* surface = nullptr;
    bool prepared = false;
    bool misuse = false;  // a call outside begin/end since the last end
    Matrix3x2F transform;
    AntialiasMode antialias = AntialiasMode::PerPrimitive;
    TextAntialiasMode textAntialias = TextAntialiasMode::Default;
    std::vector<DeviceRect> clips;
};

RenderTarget::RenderTarget() : state_(std::make_unique<State>()) {}

RenderTarget::~RenderTarget() {
    if (state_->cr != nullptr) cairo_destroy(state_->cr);
}

namespace {

// Re-applies the clip stack (the intersection of all rectangles) in device space.
void applyClips(cairo_t* cr, const std::vector<DeviceRect>& clips) {
    cairo_reset_clip(cr);
    cairo_identity_matrix(cr);
    for (const DeviceRect& r : clips) {
        // Not-a-number edges clip everything away; the others are held within cairo's range.
        auto held = [](double v) {
            return std::isfinite(v) ? std::clamp(v, -kCoordinateLimit, kCoordinateLimit) : 0.0;
        };
        const double left = held(r.left), top = held(r.top), right = held(r.right), bottom = held(r.bottom);
        cairo_new_path(cr);
        cairo_rectangle(cr, left, top, std::max(0.0, right - left), std::max(0.0, bottom - top));
        cairo_clip(cr);
    }
}

}  // namespace

void RenderTarget::beginDraw() {
    std::lock_guard lock(layerLock());
    State& s = *state_;
    if (s.cr != nullptr) {
        s.misuse = true;
        return;
    }
    s.surface = acquireSurface();
    if (s.surface == nullptr) return;
    if (!s.prepared) {
        prepare(s.surface);
        s.prepared = true;
    }
    s.cr = cairo_create(s.surface);
    s.clips.clear();
}

Result RenderTarget::endDraw() {
    std::lock_guard lock(layerLock());
    State& s = *state_;
    if (s.cr == nullptr) {
        s.misuse = false;
        return kWrongState;
    }
    const bool unbalanced = !s.clips.empty();
    s.clips.clear();
    cairo_destroy(s.cr);
    s.cr = nullptr;
    cairo_surface_flush(s.surface);
    Result r = present(s.surface);
    s.prepared = false;
    if (s.misuse) {
        s.misuse = false;
        return kWrongState;
    }
    if (unbalanced) return kPushPopUnbalanced;
    return r;
}

bool RenderTarget::isDrawing() const { return state_->cr != nullptr; }

uint32_t RenderTarget::pixelWidth() {
    cairo_surface_t* s = state_->cr != nullptr ? state_->surface : acquireSurface();
    return s != nullptr ? static_cast<uint32_t>(cairo_image_surface_get_width(s)) : 0;
}

uint32_t RenderTarget::pixelHeight() {
    cairo_surface_t* s = state_->cr != nullptr ? state_->surface : acquireSurface();
    return s != nullptr ? static_cast<uint32_t>(cairo_image_surface_get_height(s)) : 0;
}

cairo_surface_t* RenderTarget::surface() { return state_->cr != nullptr ? state_->surface : acquireSurface(); }

void RenderTarget::setTransform(const Matrix3x2F& matrix) { state_->transform = matrix; }
Matrix3x2F RenderTarget::transform() const { return state_->transform; }
void RenderTarget::setAntialiasMode(AntialiasMode mode) { state_->antialias = mode; }
AntialiasMode RenderTarget::antialiasMode() const { return state_->antialias; }
void RenderTarget::setTextAntialiasMode(TextAntialiasMode mode) { state_->textAntialias = mode; }
TextAntialiasMode RenderTarget::textAntialiasMode() const { return state_->textAntialias; }
uint32_t RenderTarget::clipDepth() const { return static_cast<uint32_t>(state_->clips.size()); }

// Every drawing call: the lock, a context or the misuse mark, and the
// target's transform and antialiasing on the context.
#define DRAW2D_CONTEXT()                                                                                             \
    std::lock_guard lock(layerLock());                                                                               \
    State& s = *state_;                                                                                              \
    if (s.cr == nullptr) {                                                                                           \
        s.misuse = true;                                                                                             \
        return;                                                                                                      \
    }                                                                                                                \
    cairo_t* cr = s.cr;                                                                                              \
    {                                                                                                                \
        cairo_matrix_t m = toCairo(s.transform);                                                                     \
        cairo_set_matrix(cr, &m);                                                                                    \
        cairo_set_antialias(cr,                                                                                      \
                            s.antialias == AntialiasMode::Aliased ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_DEFAULT); \
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);                                                                 \
    }

void RenderTarget::pushAxisAlignedClip(const RectF& rect, AntialiasMode mode) {
    DRAW2D_CONTEXT();
    // The bounds of the transformed corners.
    const Point2F corners[4] = {s.transform.apply({rect.left, rect.top}), s.transform.apply({rect.right, rect.top}),
                                s.transform.apply({rect.left, rect.bottom}),
                                s.transform.apply({rect.right, rect.bottom})};
    DeviceRect d{corners[0].x, corners[0].y, corners[0].x, corners[0].y};
    for (const Point2F& p : corners) {
        d.left = std::min<double>(d.left, p.x);
        d.top = std::min<double>(d.top, p.y);
        d.right = std::max<double>(d.right, p.x);
        d.bottom = std::max<double>(d.bottom, p.y);
    }
    if (mode == AntialiasMode::Aliased) {
        // Whole pixels whose centres lie inside.
        d.left = std::ceil(d.left - 0.5);
        d.top = std::ceil(d.top - 0.5);
        d.right = std::ceil(d.right - 0.5);
        d.bottom = std::ceil(d.bottom - 0.5);
    }
    s.clips.push_back(d);
    applyClips(cr, s.clips);
}

void RenderTarget::popAxisAlignedClip() {
    DRAW2D_CONTEXT();
    if (s.clips.empty()) {
        s.misuse = true;
        return;
    }
    s.clips.pop_back();
    applyClips(cr, s.clips);
}

void RenderTarget::clear(ColorF color) {
    DRAW2D_CONTEXT();
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgba(cr, color.r, color.g, color.b, color.a);
    cairo_paint(cr);
}

namespace {

bool rectanglePath(cairo_t* cr, const RectF& r, const Matrix3x2F& m) {
    DevicePath path(cr, m);
    path.move({r.left, r.top});
    path.line({r.right, r.top});
    path.line({r.right, r.bottom});
    path.line({r.left, r.bottom});
    path.close();
    return path.finish();
}

}  // namespace

void RenderTarget::fillRectangle(const RectF& r, const Brush& brush) {
    DRAW2D_CONTEXT();
    if (!rectanglePath(cr, r, s.transform)) return;
    setSource(cr, brush);
    cairo_fill(cr);
}

void RenderTarget::drawRectangle(const RectF& r, const Brush& brush, float width, const StrokeStyle* style) {
    DRAW2D_CONTEXT();
    if (!rectanglePath(cr, r, s.transform) || !setStroke(cr, width, style)) return;
    setSource(cr, brush);
    cairo_stroke(cr);
}

void RenderTarget::drawLine(Point2F from, Point2F to, const Brush& brush, float width, const StrokeStyle* style) {
    DRAW2D_CONTEXT();
    DevicePath path(cr, s.transform);
    path.move(from);
    path.line(to);
    if (!path.finish() || !setStroke(cr, width, style)) return;
    setSource(cr, brush);
    cairo_stroke(cr);
}

namespace {

// Four quarter arcs as cubic curves.
bool ellipsePath(cairo_t* cr, const Ellipse& e, const Matrix3x2F& m) {
    DevicePath path(cr, m);
    if (!(e.radiusX > 0) || !(e.radiusY > 0)) {
        cairo_new_path(cr);
        path.finish();
        return false;
    }
    constexpr float k = 0.5522847498f;
    const float cx = e.point.x, cy = e.point.y, rx = e.radiusX, ry = e.radiusY;
    path.move({cx + rx, cy});
    path.curve({cx + rx, cy + k * ry}, {cx + k * rx, cy + ry}, {cx, cy + ry});
    path.curve({cx - k * rx, cy + ry}, {cx - rx, cy + k * ry}, {cx - rx, cy});
    path.curve({cx - rx, cy - k * ry}, {cx - k * rx, cy - ry}, {cx, cy - ry});
    path.curve({cx + k * rx, cy - ry}, {cx + rx, cy - k * ry}, {cx + rx, cy});
    path.close();
    return path.finish();
}

}  // namespace

void RenderTarget::fillEllipse(const Ellipse& e, const Brush& brush) {
    DRAW2D_CONTEXT();
    if (!ellipsePath(cr, e, s.transform)) return;
    setSource(cr, brush);
    cairo_fill(cr);
}

void RenderTarget::drawEllipse(const Ellipse& e, const Brush& brush, float width, const StrokeStyle* style) {
    DRAW2D_CONTEXT();
    if (!ellipsePath(cr, e, s.transform) || !setStroke(cr, width, style)) return;
    setSource(cr, brush);
    cairo_stroke(cr);
}

void RenderTarget::fillGeometry(const Geometry& geometry, const Brush& brush) {
    DRAW2D_CONTEXT();
    if (!appendPath(cr, geometry, true, s.transform)) return;
    setSource(cr, brush);
    cairo_fill(cr);
}

void RenderTarget::drawGeometry(const Geometry& geometry, const Brush& brush, float width, const StrokeStyle* style) {
    DRAW2D_CONTEXT();
    if (!appendPath(cr, geometry, false, s.transform) || !setStroke(cr, width, style)) return;
    setSource(cr, brush);
    cairo_stroke(cr);
}

void RenderTarget::drawBitmap(const Bitmap& bitmap, const RectF* destination, float opacity,
                              Interpolation interpolation, const RectF* source) {
    DRAW2D_CONTEXT();
    const RectF src = source != nullptr ? *source : RectF{0, 0, float(bitmap.width()), float(bitmap.height())};
    const RectF dst = destination != nullptr ? *destination : RectF{0, 0, src.right - src.left, src.bottom - src.top};
    const double sw = src.right - src.left, sh = src.bottom - src.top;
    const double dw = dst.right - dst.left, dh = dst.bottom - dst.top;
    if (!(sw > 0) || !(sh > 0) || !(dw > 0) || !(dh > 0)) return;
    // Rectangles past cairo's coordinate range are not drawn.
    for (const double v : {double(src.left), double(src.top), sw, sh, double(dst.left), double(dst.top), dw, dh})
        if (!(std::fabs(v) < kCoordinateLimit)) return;
    cairo_surface_t* image =
        cairo_image_surface_create_for_data(const_cast<uint8_t*>(bitmap.data()), CAIRO_FORMAT_ARGB32,
                                            int(bitmap.width()), int(bitmap.height()), int(bitmap.stride()));
    cairo_pattern_t* p = cairo_pattern_create_for_surface(image);
    // Pattern space is the bitmap's pixels: destination -> source.
    cairo_matrix_t m;
    cairo_matrix_init_translate(&m, src.left, src.top);
    cairo_matrix_scale(&m, sw / dw, sh / dh);
    cairo_matrix_translate(&m, -dst.left, -dst.top);
    cairo_pattern_set_matrix(p, &m);
    cairo_pattern_set_filter(p, interpolation == Interpolation::Linear ? CAIRO_FILTER_BILINEAR : CAIRO_FILTER_NEAREST);
    cairo_pattern_set_extend(p, CAIRO_EXTEND_PAD);
    cairo_new_path(cr);
    cairo_rectangle(cr, dst.left, dst.top, dw, dh);
    cairo_save(cr);
    cairo_clip(cr);
    cairo_set_source(cr, p);
    cairo_paint_with_alpha(cr, std::clamp(opacity, 0.0f, 1.0f));
    cairo_restore(cr);
    cairo_pattern_destroy(p);
    cairo_surface_destroy(image);
}

void RenderTarget::drawTextLayout(Point2F origin, const TextLayout& layout, const Brush& brush) {
    DRAW2D_CONTEXT();
    DevicePath at(cr, s.transform);
    double x, y;
    if (!at.toDevice(origin, x, y) || std::fabs(x) >= kCoordinateLimit || std::fabs(y) >= kCoordinateLimit) {
        at.finish();
        return;
    }
    at.finish();
    cairo_new_path(cr);
    cairo_move_to(cr, origin.x, origin.y);
    setSource(cr, brush);
    showLayout(cr, layout);
}

Result RenderTarget::createBitmap(uint32_t width, uint32_t height, std::unique_ptr<Bitmap>& out) {
    return Bitmap::create(width, height, nullptr, 0, 87, AlphaMode::Premultiplied, out);
}

Result MemoryTarget::create(uint32_t width, uint32_t height, std::unique_ptr<MemoryTarget>& out) {
    out.reset();
    if (width == 0 || height == 0 || width > kMaxSize || height > kMaxSize) return kInvalidArg;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, int(width), int(height));
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return kOutOfMemory;
    }
    out.reset(new MemoryTarget(s));
    return kOk;
}

MemoryTarget::~MemoryTarget() { cairo_surface_destroy(surface_); }

uint32_t RenderTarget::pixel(int32_t x, int32_t y) {
    std::lock_guard lock(layerLock());
    cairo_surface_t* s = surface();
    if (s == nullptr) return 0;
    const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    if (x < 0 || y < 0 || x >= w || y >= h) return 0;
    cairo_surface_flush(s);
    uint32_t v;
    std::memcpy(&v, cairo_image_surface_get_data(s) + size_t(y) * cairo_image_surface_get_stride(s) + x * 4, 4);
    return v;
}

}  // namespace Platform::draw2d
