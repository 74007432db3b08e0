// Path geometries: arcs by their end points, quadratic curves as cubics, and
// the sink's order of calls.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "platform/draw2d/Draw2d.h"

namespace {
namespace D = Platform::draw2d;

// A point of a cubic piece at t.
D::Point2F cubicAt(D::Point2F p0, const D::PathElement& e, float t) {
    const float u = 1 - t;
    const float a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
    return {a * p0.x + b * e.p[0].x + c * e.p[1].x + d * e.p[2].x,
            a * p0.y + b * e.p[0].y + c * e.p[1].y + d * e.p[2].y};
}

struct ArcCase {
    const char* name;
    D::Point2F from;
    D::ArcSegment arc;
    D::Point2F center;  // every point of the arc lies on the ellipse around it
    float rx, ry;
    D::Point2F through;  // a point the arc passes near (its middle)
};

TEST(Arc, PiecesFollowTheEllipseAndTheSweep) {
    const ArcCase cases[] = {
        {"half circle clockwise goes up",
         {10, 50},
         {{50, 50}, {20, 20}, 0, D::SweepDirection::Clockwise, D::ArcSize::Small},
         {30, 50},
         20,
         20,
         {30, 30}},
        {"half circle counter-clockwise goes down",
         {10, 50},
         {{50, 50}, {20, 20}, 0, D::SweepDirection::CounterClockwise, D::ArcSize::Small},
         {30, 50},
         20,
         20,
         {30, 70}},
        {"quarter, small",
         {0, 0},
         {{10, 10}, {10, 10}, 0, D::SweepDirection::Clockwise, D::ArcSize::Small},
         {0, 10},
         10,
         10,
         {7.0710678f, 2.9289322f}},
        {"three quarters, large",
         {0, 0},
         {{10, 10}, {10, 10}, 0, D::SweepDirection::Clockwise, D::ArcSize::Large},
         {10, 0},
         10,
         10,
         {17.0710678f, -7.0710678f}},
        {"radii too small are scaled up",
         {0, 0},
         {{40, 0}, {5, 5}, 0, D::SweepDirection::Clockwise, D::ArcSize::Small},
         {20, 0},
         20,
         20,
         {20, -20}},
        {"ellipse",
         {0, 0},
         {{40, 0}, {20, 10}, 0, D::SweepDirection::Clockwise, D::ArcSize::Small},
         {20, 0},
         20,
         10,
         {20, -10}},
        {"rotated ellipse",
         {0, 0},
         {{0, 40}, {20, 10}, 90, D::SweepDirection::Clockwise, D::ArcSize::Small},
         {0, 20},
         20,
         10,
         {10, 20}},
    };
    for (const ArcCase& c : cases) {
        const auto pieces = D::arcToCubics(c.from, c.arc);
        ASSERT_FALSE(pieces.empty()) << c.name;
        EXPECT_EQ(c.arc.point.x, pieces.back().p[2].x) << c.name;
        EXPECT_EQ(c.arc.point.y, pieces.back().p[2].y) << c.name;
        D::Point2F start = c.from;
        float nearest = 1e9f;
        // The ellipse's own axes: rotated by the angle.
        const double phi = c.arc.rotationAngle * 3.14159265358979 / 180;
        for (const auto& e : pieces) {
            ASSERT_EQ(D::PathElement::Op::Cubic, e.op) << c.name;
            for (float t = 0; t <= 1.0f; t += 0.125f) {
                const D::Point2F p = cubicAt(start, e, t);
                const double dx = p.x - c.center.x, dy = p.y - c.center.y;
                const double ex = std::cos(phi) * dx + std::sin(phi) * dy,
                             ey = -std::sin(phi) * dx + std::cos(phi) * dy;
                const double r = std::sqrt(ex * ex / (c.rx * c.rx) + ey * ey / (c.ry * c.ry));
                EXPECT_NEAR(1.0, r, 0.002) << c.name << " t " << t;
                nearest = std::min(nearest, std::hypot(p.x - c.through.x, p.y - c.through.y));
            }
            start = e.p[2];
        }
        EXPECT_LT(nearest, 0.5f) << c.name << ": the arc runs on the wrong side";
    }
}

TEST(Arc, DegenerateArcsGiveALineOrNothing) {
    const auto none = D::arcToCubics({5, 5}, {{5, 5}, {10, 10}, 0, D::SweepDirection::Clockwise, D::ArcSize::Small});
    EXPECT_TRUE(none.empty());
    const float nan = std::nanf("");
    const struct {
        const char* name;
        D::Point2F from;
        D::ArcSegment arc;
    } lines[] = {
        {"zero radius", {0, 0}, {{10, 5}, {0, 10}, 0, D::SweepDirection::Clockwise, D::ArcSize::Small}},
        {"radius not a number", {0, 0}, {{10, 5}, {nan, 10}, 0, D::SweepDirection::Clockwise, D::ArcSize::Small}},
        {"start not a number", {nan, 0}, {{10, 5}, {10, 10}, 0, D::SweepDirection::Clockwise, D::ArcSize::Small}},
        {"angle not a number", {0, 0}, {{10, 5}, {10, 10}, nan, D::SweepDirection::Clockwise, D::ArcSize::Large}},
        {"radii that overflow",
         {0, 0},
         {{10, 5}, {3e38f, 1e-30f}, 33, D::SweepDirection::Clockwise, D::ArcSize::Large}},
        {"points that overflow",
         {-3e38f, 0},
         {{3e38f, 3e38f}, {1, 1}, 0, D::SweepDirection::Clockwise, D::ArcSize::Small}},
    };
    for (const auto& c : lines) {
        const auto pieces = D::arcToCubics(c.from, c.arc);
        ASSERT_FALSE(pieces.empty()) << c.name;
        EXPECT_LE(pieces.size(), 4u) << c.name;
        EXPECT_EQ(c.arc.point.x, pieces.back().p[pieces.back().op == D::PathElement::Op::Line ? 0 : 2].x) << c.name;
    }
    const auto line = D::arcToCubics(lines[0].from, lines[0].arc);
    ASSERT_EQ(1u, line.size());
    EXPECT_EQ(D::PathElement::Op::Line, line[0].op);
}

TEST(PathGeometry, QuadraticSegmentsAreRaisedToTheSameCubic) {
    D::PathGeometry path;
    D::GeometrySink* sink = nullptr;
    ASSERT_EQ(Platform::kOk, path.open(sink));
    sink->beginFigure({0, 0}, D::FigureBegin::Filled);
    sink->addQuadraticBezier({10, 20}, {20, 0});
    sink->endFigure(D::FigureEnd::Open);
    ASSERT_EQ(Platform::kOk, sink->close());
    ASSERT_EQ(2u, path.elements().size());
    const D::PathElement& c = path.elements()[1];
    ASSERT_EQ(D::PathElement::Op::Cubic, c.op);
    for (float t : {0.25f, 0.5f, 0.75f}) {
        const D::Point2F p = cubicAt({0, 0}, c, t);
        const float u = 1 - t;
        EXPECT_NEAR(2 * u * t * 10 + t * t * 20, p.x, 1e-4) << t;
        EXPECT_NEAR(2 * u * t * 20, p.y, 1e-4) << t;
    }
}

TEST(PathGeometry, SinkRefusesCallsOutOfOrder) {
    struct {
        const char* name;
        void (*fill)(D::GeometrySink&);
        Platform::Result close;
    } cases[] = {
        {"balanced",
         [](D::GeometrySink& s) {
             s.beginFigure({0, 0}, D::FigureBegin::Filled);
             s.addLine({1, 1});
             s.endFigure(D::FigureEnd::Closed);
         },
         Platform::kOk},
        {"figure left open",
         [](D::GeometrySink& s) {
             s.beginFigure({0, 0}, D::FigureBegin::Filled);
             s.addLine({1, 1});
         },
         D::kWrongState},
        {"segment outside a figure",
         [](D::GeometrySink& s) {
             s.addLine({1, 1});
         },
         D::kWrongState},
        {"figure inside a figure",
         [](D::GeometrySink& s) {
             s.beginFigure({0, 0}, D::FigureBegin::Filled);
             s.beginFigure({0, 0}, D::FigureBegin::Filled);
             s.endFigure(D::FigureEnd::Open);
         },
         D::kWrongState},
        {"end without a figure", [](D::GeometrySink& s) { s.endFigure(D::FigureEnd::Open); }, D::kWrongState},
        {"empty", [](D::GeometrySink&) {}, Platform::kOk},
    };
    for (const auto& c : cases) {
        D::PathGeometry path;
        D::GeometrySink* sink = nullptr;
        ASSERT_EQ(Platform::kOk, path.open(sink));
        c.fill(*sink);
        EXPECT_EQ(c.close, sink->close()) << c.name;
        EXPECT_EQ(D::kWrongState, sink->close()) << c.name << ": closed twice";
        EXPECT_EQ(D::kWrongState, path.open(sink)) << c.name << ": opened twice";
    }
}

TEST(PathGeometry, TransformedGeometryMovesEveryPoint) {
    auto path = std::make_shared<D::PathGeometry>();
    D::GeometrySink* sink = nullptr;
    ASSERT_EQ(Platform::kOk, path->open(sink));
    sink->beginFigure({0, 0}, D::FigureBegin::Filled);
    sink->addBezier({1, 2}, {3, 4}, {5, 6});
    sink->endFigure(D::FigureEnd::Closed);
    ASSERT_EQ(Platform::kOk, sink->close());
    D::TransformedGeometry t(path, {2, 0, 0, 1, 10, 20});
    const D::RectF b = t.bounds();
    EXPECT_EQ(10, b.left);
    EXPECT_EQ(20, b.top);
    EXPECT_EQ(20, b.right);
    EXPECT_EQ(26, b.bottom);
    EXPECT_EQ(path->elements().size(), t.elements().size());
    EXPECT_EQ(D::PathElement::Op::Close, t.elements().back().op);
}

}  // namespace
