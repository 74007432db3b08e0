#include "media/gpu/PathCommand.h"

#include "platform/draw2d/Geometry.h"

namespace Resource {

namespace D2 = Platform::draw2d;

void PathCommandMoveTo::apply(PathContext& c) const {
    D2::Point2F p;
    c.map(x, y, p.x, p.y);
    c.sink->beginFigure(p, D2::FigureBegin::Filled);
}

void PathCommandLineTo::apply(PathContext& c) const {
    D2::Point2F p;
    c.map(x, y, p.x, p.y);
    c.sink->addLine(p);
}

void PathCommandArcTo::apply(PathContext& c) const {
    D2::ArcSegment arc;
    c.map(endX, endY, arc.point.x, arc.point.y);
    arc.size = {static_cast<float>(radiusX * c.scaleX), static_cast<float>(radiusY * c.scaleY)};
    arc.rotationAngle = rotation;
    arc.sweepDirection = clockwise != 0 ? D2::SweepDirection::Clockwise : D2::SweepDirection::CounterClockwise;
    arc.arcSize = largeArc != 0 ? D2::ArcSize::Large : D2::ArcSize::Small;
    c.sink->addArc(arc);
}

void PathCommandBezier2To::apply(PathContext& c) const {
    D2::Point2F control, end;
    c.map(controlX, controlY, control.x, control.y);
    c.map(endX, endY, end.x, end.y);
    c.sink->addQuadraticBezier(control, end);
}

void PathCommandClosePath::apply(PathContext& c) const { c.sink->endFigure(D2::FigureEnd::Closed); }

}  // namespace Resource
