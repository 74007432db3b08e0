#include "media/gpu/PathData.h"

#include <cmath>
#include <numbers>

#include "core/Exception.h"
#include "platform/draw2d/Geometry.h"

namespace Resource {

namespace D2 = Platform::draw2d;

PathData& PathData::moveTo(float px, float py) {
    commands.push_back(std::make_unique<PathCommandMoveTo>(px, py));
    return *this;
}

PathData& PathData::lineTo(float px, float py) {
    commands.push_back(std::make_unique<PathCommandLineTo>(px, py));
    return *this;
}

PathData& PathData::arcTo(float rx, float ry, float rotation, bool largeArc, float ex, float ey) {
    commands.push_back(std::make_unique<PathCommandArcTo>(ex, ey, rx, ry, rotation, largeArc ? 1 : 0, 1));
    return *this;
}

PathData& PathData::bezier2To(float cx, float cy, float ex, float ey) {
    commands.push_back(std::make_unique<PathCommandBezier2To>(ex, ey, cx, cy));
    return *this;
}

PathData& PathData::closePath() {
    commands.push_back(std::make_unique<PathCommandClosePath>());
    return *this;
}

std::unique_ptr<D2::PathGeometry> PathData::createPathGeometry(float px, float py, float w, float h) const {
    static constexpr const char* kScope = "Resource::PathData::createPathGeometry";
    auto geometry = std::make_unique<D2::PathGeometry>();
    D2::GeometrySink* sink = nullptr;
    if (const auto hr = geometry->open(sink); Platform::failed(hr)) throw System::hresultException("path->Open", kScope, hr);
    PathContext context;
    context.sink = sink;
    context.scaleX = double(w) / width;
    context.scaleY = double(h) / height;
    context.offsetX = px - x * context.scaleX;
    context.offsetY = py - y * context.scaleY;
    for (const auto& command : commands) command->apply(context);
    if (const auto hr = sink->close(); Platform::failed(hr)) throw System::hresultException("slink->Close", kScope, hr);
    return geometry;
}

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

// The polygon's vertex at the angle (0 at the top, clockwise) on a circle of the radius.
void vertex(PathData& path, double degrees, double radius, bool first) {
    const float px = static_cast<float>(std::sin(degrees * kDegree) * radius);
    const float py = static_cast<float>(-std::cos(degrees * kDegree) * radius);
    if (first)
        path.moveTo(px, py);
    else
        path.lineTo(px, py);
}

std::unique_ptr<PathData> polygon(int sides, double innerDegrees) {
    auto path = std::make_unique<PathData>(-1, -1, 2, 2, static_cast<float>(std::sin(innerDegrees * kDegree)));
    for (int k = 0; k < sides; ++k) vertex(*path, 360.0 * k / sides, 1, k == 0);
    path->closePath();
    return path;
}

}  // namespace

std::vector<std::unique_ptr<PathData>> PathData::createBuiltins() {
    std::vector<std::unique_ptr<PathData>> paths;
    auto circle = std::make_unique<PathData>(0, 0, 1, 1, 1);
    circle->moveTo(1, 0.5f).arcTo(0.5f, 0.5f, 0, true, 0, 0.5f).arcTo(0.5f, 0.5f, 0, true, 1, 0.5f).closePath();
    paths.push_back(std::move(circle));
    auto square = std::make_unique<PathData>(0, 0, 1, 1, 1);
    square->moveTo(0, 0).lineTo(1, 0).lineTo(1, 1).lineTo(0, 1).closePath();
    paths.push_back(std::move(square));
    paths.push_back(polygon(3, 30));
    paths.push_back(polygon(5, 54));
    paths.push_back(polygon(6, 60));
    auto star = std::make_unique<PathData>(-1, -1, 2, 2, static_cast<float>(std::sin(18 * kDegree)));
    const double inner = std::cos(72 * kDegree) / std::cos(36 * kDegree);
    for (int k = 0; k < 5; ++k) {
        vertex(*star, 72.0 * k, 1, k == 0);
        vertex(*star, 72.0 * k + 36, inner, false);
    }
    star->closePath();
    paths.push_back(std::move(star));
    auto heart = std::make_unique<PathData>(0.09f, 0.09f, 0.82f, 0.82f, 0.6666f);
    heart->moveTo(0.1f, 0.35f)
        .arcTo(0.2f, 0.2f, 0, false, 0.5f, 0.3f)
        .arcTo(0.2f, 0.2f, 0, false, 0.9f, 0.35f)
        .bezier2To(0.9f, 0.5f, 0.5f, 0.9f)
        .bezier2To(0.1f, 0.5f, 0.1f, 0.35f)
        .closePath();
    paths.push_back(std::move(heart));
    auto diamond = std::make_unique<PathData>(0, 0, 1, 1, 1);
    diamond->moveTo(0.5f, 0).lineTo(1, 0.5f).lineTo(0.5f, 1).lineTo(0, 0.5f).closePath();
    paths.push_back(std::move(diamond));
    return paths;
}

}  // namespace Resource
