#include "platform/draw2d/Geometry.h"

#include <algorithm>
#include <cmath>

namespace Platform::draw2d {

namespace {

constexpr double kPi = 3.14159265358979323846;

PathElement element(PathElement::Op op, Point2F a = {}, Point2F b = {}, Point2F c = {}) {
    PathElement e;
    e.op = op;
    e.p[0] = a;
    e.p[1] = b;
    e.p[2] = c;
    return e;
}

}  // namespace

std::vector<PathElement> arcToCubics(Point2F from, const ArcSegment& arc) {
    std::vector<PathElement> out;
    const double x1 = from.x, y1 = from.y, x2 = arc.point.x, y2 = arc.point.y;
    if (x1 == x2 && y1 == y2) return out;
    double rx = std::fabs(arc.size.width), ry = std::fabs(arc.size.height);
    const auto line = [&] {
        out.assign(1, element(PathElement::Op::Line, arc.point));
        return out;
    };
    if (rx == 0 || ry == 0 || !std::isfinite(rx) || !std::isfinite(ry) || !std::isfinite(x1) || !std::isfinite(y1) ||
        !std::isfinite(x2) || !std::isfinite(y2) || !std::isfinite(arc.rotationAngle))
        return line();
    const double phi = arc.rotationAngle * kPi / 180.0;
    const double c = std::cos(phi), s = std::sin(phi);
    // The end points in the ellipse's own axes, centred between them.
    const double dx = (x1 - x2) / 2, dy = (y1 - y2) / 2;
    const double xp = c * dx + s * dy, yp = -s * dx + c * dy;
    // Radii too small to reach are scaled up just enough.
    const double lambda = (xp * xp) / (rx * rx) + (yp * yp) / (ry * ry);
    if (lambda > 1) {
        rx *= std::sqrt(lambda);
        ry *= std::sqrt(lambda);
    }
    const bool large = arc.arcSize == ArcSize::Large;
    const bool sweep = arc.sweepDirection == SweepDirection::Clockwise;  // y down: clockwise is +angle
    double num = rx * rx * ry * ry - rx * rx * yp * yp - ry * ry * xp * xp;
    const double den = rx * rx * yp * yp + ry * ry * xp * xp;
    double coef = den > 0 ? std::sqrt(std::max(0.0, num / den)) : 0;
    if (large == sweep) coef = -coef;
    const double cxp = coef * rx * yp / ry, cyp = -coef * ry * xp / rx;
    const double cx = c * cxp - s * cyp + (x1 + x2) / 2, cy = s * cxp + c * cyp + (y1 + y2) / 2;
    auto angle = [](double ux, double uy, double vx, double vy) {
        return std::atan2(ux * vy - uy * vx, ux * vx + uy * vy);
    };
    const double theta1 = angle(1, 0, (xp - cxp) / rx, (yp - cyp) / ry);
    double delta = angle((xp - cxp) / rx, (yp - cyp) / ry, (-xp - cxp) / rx, (-yp - cyp) / ry);
    if (!sweep && delta > 0) delta -= 2 * kPi;
    if (sweep && delta < 0) delta += 2 * kPi;
    // Numbers so large that the ellipse overflows: drawn as a straight line.
    if (!std::isfinite(delta) || !std::isfinite(theta1) || !std::isfinite(cx) || !std::isfinite(cy)) return line();
    // Pieces of at most a quarter turn keep the cubic close to the ellipse.
    const int pieces = std::max(1, static_cast<int>(std::ceil(std::fabs(delta) / (kPi / 2) - 1e-9)));
    const double step = delta / pieces;
    const double k = 4.0 / 3.0 * std::tan(step / 4);
    auto pointAt = [&](double ex, double ey) {
        // (ex, ey): the unit circle point or tangent in the ellipse's axes.
        const double px = rx * ex, py = ry * ey;
        return std::pair<double, double>{c * px - s * py, s * px + c * py};
    };
    double t = theta1;
    for (int i = 0; i < pieces; ++i) {
        const double t2 = t + step;
        auto a = pointAt(std::cos(t) - k * std::sin(t), std::sin(t) + k * std::cos(t));
        auto b = pointAt(std::cos(t2) + k * std::sin(t2), std::sin(t2) - k * std::cos(t2));
        auto e = pointAt(std::cos(t2), std::sin(t2));
        Point2F end{static_cast<float>(cx + e.first), static_cast<float>(cy + e.second)};
        if (i == pieces - 1) end = arc.point;  // land exactly on the asked end point
        out.push_back(element(PathElement::Op::Cubic,
                              {static_cast<float>(cx + a.first), static_cast<float>(cy + a.second)},
                              {static_cast<float>(cx + b.first), static_cast<float>(cy + b.second)}, end));
        t = t2;
    }
    return out;
}

void GeometrySink::setFillMode(FillMode mode) { geometry_.fillMode_ = mode; }

void GeometrySink::beginFigure(Point2F start, FigureBegin begin) {
    if (inFigure_ || geometry_.closed_) {
        failed_ = true;
        return;
    }
    inFigure_ = true;
    current_ = start;
    geometry_.elements_.push_back(element(PathElement::Op::Move, start));
    geometry_.filled_.push_back(begin == FigureBegin::Filled);
}

void GeometrySink::addLine(Point2F p) {
    if (!inFigure_) {
        failed_ = true;
        return;
    }
    geometry_.elements_.push_back(element(PathElement::Op::Line, p));
    current_ = p;
}

void GeometrySink::addLines(const Point2F* points, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) addLine(points[i]);
}

void GeometrySink::addBezier(Point2F c1, Point2F c2, Point2F end) {
    if (!inFigure_) {
        failed_ = true;
        return;
    }
    geometry_.elements_.push_back(element(PathElement::Op::Cubic, c1, c2, end));
    current_ = end;
}

void GeometrySink::addQuadraticBezier(Point2F q, Point2F end) {
    // The same curve as a cubic: controls two thirds of the way to the quadratic one.
    const Point2F c1{current_.x + 2.0f / 3.0f * (q.x - current_.x), current_.y + 2.0f / 3.0f * (q.y - current_.y)};
    const Point2F c2{end.x + 2.0f / 3.0f * (q.x - end.x), end.y + 2.0f / 3.0f * (q.y - end.y)};
    addBezier(c1, c2, end);
}

void GeometrySink::addArc(const ArcSegment& arc) {
    if (!inFigure_) {
        failed_ = true;
        return;
    }
    for (const PathElement& e : arcToCubics(current_, arc)) geometry_.elements_.push_back(e);
    current_ = arc.point;
}

void GeometrySink::endFigure(FigureEnd end) {
    if (!inFigure_) {
        failed_ = true;
        return;
    }
    if (end == FigureEnd::Closed) geometry_.elements_.push_back(element(PathElement::Op::Close));
    inFigure_ = false;
}

Result GeometrySink::close() {
    if (geometry_.closed_) return kWrongState;
    geometry_.closed_ = true;
    if (inFigure_ || failed_) {
        inFigure_ = false;
        return kWrongState;
    }
    return kOk;
}

RectF Geometry::bounds() const {
    const auto& els = elements();
    bool any = false;
    RectF r;
    for (const PathElement& e : els) {
        const int n = e.op == PathElement::Op::Cubic ? 3 : e.op == PathElement::Op::Close ? 0 : 1;
        for (int i = 0; i < n; ++i) {
            const Point2F p = e.p[i];
            if (!any) {
                r = {p.x, p.y, p.x, p.y};
                any = true;
            }
            r.left = std::min(r.left, p.x);
            r.top = std::min(r.top, p.y);
            r.right = std::max(r.right, p.x);
            r.bottom = std::max(r.bottom, p.y);
        }
    }
    return r;
}

PathGeometry::PathGeometry() = default;
PathGeometry::~PathGeometry() = default;

Result PathGeometry::open(GeometrySink*& sink) {
    sink = nullptr;
    if (opened_) return kWrongState;
    opened_ = true;
    sink_.reset(new GeometrySink(*this));
    sink = sink_.get();
    return kOk;
}

TransformedGeometry::TransformedGeometry(std::shared_ptr<const Geometry> source, const Matrix3x2F& matrix)
    : source_(std::move(source)), matrix_(matrix) {
    elements_ = source_->elements();
    for (PathElement& e : elements_)
        for (Point2F& p : e.p) p = matrix_.apply(p);
}

}  // namespace Platform::draw2d
