#pragma once
#include <memory>
#include <vector>

#include "media/gpu/PathCommand.h"

namespace Platform::draw2d {
class PathGeometry;
}

// A shape as steps in a box, turned into a geometry of any size. The eight
// built-in shapes are shared by the figures and the transition masks.
namespace Resource {

class PathData {
public:
    enum Builtin : int { kCircle, kSquare, kTriangle, kPentagon, kHexagon, kStar, kHeart, kDiamond, kBuiltinCount };

    PathData(float x, float y, float width, float height, float innerRatio)
        : x(x), y(y), width(width), height(height), innerRatio(innerRatio) {}

    PathData& moveTo(float x, float y);
    PathData& lineTo(float x, float y);
    // Always clockwise.
    PathData& arcTo(float radiusX, float radiusY, float rotation, bool largeArc, float endX, float endY);
    PathData& bezier2To(float controlX, float controlY, float endX, float endY);
    PathData& closePath();

    // The box mapped onto (x, y, width, height); throws when the geometry cannot be made.
    std::unique_ptr<Platform::draw2d::PathGeometry> createPathGeometry(float x, float y, float width,
                                                                       float height) const;

    // The built-in shapes in their fixed order.
    static std::vector<std::unique_ptr<PathData>> createBuiltins();

    float x, y, width, height;
    // The inscribed circle's radius against the outer one.
    float innerRatio;
    std::vector<std::unique_ptr<PathCommand>> commands;
};

}  // namespace Resource
