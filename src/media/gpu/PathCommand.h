#pragma once
#include <cstdint>

namespace Platform::draw2d {
class GeometrySink;
}

// The drawing steps of a shape in its unit box, applied to a geometry sink
// through a scale and an offset.
namespace Resource {

struct PathContext {
    Platform::draw2d::GeometrySink* sink = nullptr;
    double offsetX = 0, offsetY = 0, scaleX = 1, scaleY = 1;
    // (x * scale x + offset x, y * scale y + offset y), in 64-bit.
    void map(float x, float y, float& outX, float& outY) const {
        outX = static_cast<float>(x * scaleX + offsetX);
        outY = static_cast<float>(y * scaleY + offsetY);
    }
};

class PathCommand {
public:
    virtual ~PathCommand() = default;
    virtual void apply(PathContext& context) const = 0;
};

class PathCommandMoveTo : public PathCommand {
public:
    PathCommandMoveTo(float x, float y) : x(x), y(y) {}
    void apply(PathContext& context) const override;
    float x, y;
};

class PathCommandLineTo : public PathCommand {
public:
    PathCommandLineTo(float x, float y) : x(x), y(y) {}
    void apply(PathContext& context) const override;
    float x, y;
};

class PathCommandArcTo : public PathCommand {
public:
    PathCommandArcTo(float endX, float endY, float radiusX, float radiusY, float rotation, uint8_t largeArc,
                     uint8_t clockwise)
        : endX(endX), endY(endY), radiusX(radiusX), radiusY(radiusY), rotation(rotation), largeArc(largeArc),
          clockwise(clockwise) {}
    void apply(PathContext& context) const override;
    float endX, endY, radiusX, radiusY, rotation;
    uint8_t largeArc, clockwise;
};

class PathCommandBezier2To : public PathCommand {
public:
    PathCommandBezier2To(float endX, float endY, float controlX, float controlY)
        : endX(endX), endY(endY), controlX(controlX), controlY(controlY) {}
    void apply(PathContext& context) const override;
    float endX, endY, controlX, controlY;
};

class PathCommandClosePath : public PathCommand {
public:
    void apply(PathContext& context) const override;
};

}  // namespace Resource
