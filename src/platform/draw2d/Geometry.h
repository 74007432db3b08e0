#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/draw2d/Types.h"

namespace Platform::draw2d {

struct ArcSegment {
    Point2F point;            // end point
    SizeF size;               // radii
    float rotationAngle = 0;  // degrees, of the ellipse's x axis
    SweepDirection sweepDirection = SweepDirection::Clockwise;
    ArcSize arcSize = ArcSize::Small;
};

// One element of a figure. Every curve is held as a cubic Bezier: quadratic
// segments are raised to cubic and arcs are split into cubic pieces.
struct PathElement {
    enum class Op : uint8_t { Move, Line, Cubic, Close };
    Op op;
    Point2F p[3];
};

class PathGeometry;

// Fills a path geometry: figures begin at a point, gather segments and end
// open or closed. Close finishes the geometry; an unbalanced figure makes
// close fail.
class GeometrySink {
public:
    void setFillMode(FillMode mode);
    void beginFigure(Point2F start, FigureBegin begin);
    void addLine(Point2F p);
    void addLines(const Point2F* points, uint32_t count);
    void addBezier(Point2F c1, Point2F c2, Point2F end);
    void addQuadraticBezier(Point2F control, Point2F end);
    void addArc(const ArcSegment& arc);
    void endFigure(FigureEnd end);
    // kWrongState when a figure is still open or the sink was closed already.
    Result close();

private:
    friend class PathGeometry;
    explicit GeometrySink(PathGeometry& geometry) : geometry_(geometry) {}
    PathGeometry& geometry_;
    bool inFigure_ = false;
    bool failed_ = false;
    Point2F current_;
};

// A shape to fill or stroke, in its own coordinates.
class Geometry {
public:
    virtual ~Geometry() = default;
    // The elements in target coordinates (before the target's transform).
    virtual const std::vector<PathElement>& elements() const = 0;
    virtual FillMode fillMode() const = 0;
    // Hollow figures are stroked but not filled; the flags follow each Move.
    virtual const std::vector<bool>& filledFigures() const = 0;
    // The bounds of the elements' control points.
    RectF bounds() const;
};

class PathGeometry : public Geometry {
public:
    PathGeometry();
    ~PathGeometry() override;
    // The sink fills this geometry once; kWrongState when it was opened before.
    Result open(GeometrySink*& sink);

    const std::vector<PathElement>& elements() const override { return elements_; }
    FillMode fillMode() const override { return fillMode_; }
    const std::vector<bool>& filledFigures() const override { return filled_; }
    uint32_t figureCount() const { return static_cast<uint32_t>(filled_.size()); }
    bool closed() const { return closed_; }

private:
    friend class GeometrySink;
    std::unique_ptr<GeometrySink> sink_;
    std::vector<PathElement> elements_;
    std::vector<bool> filled_;
    FillMode fillMode_ = FillMode::Alternate;
    bool opened_ = false;
    bool closed_ = false;
};

// Another geometry seen through a matrix; the source stays shared.
class TransformedGeometry : public Geometry {
public:
    TransformedGeometry(std::shared_ptr<const Geometry> source, const Matrix3x2F& matrix);
    const std::vector<PathElement>& elements() const override { return elements_; }
    FillMode fillMode() const override { return source_->fillMode(); }
    const std::vector<bool>& filledFigures() const override { return source_->filledFigures(); }
    const Matrix3x2F& transform() const { return matrix_; }

private:
    std::shared_ptr<const Geometry> source_;
    Matrix3x2F matrix_;
    std::vector<PathElement> elements_;
};

// The cubic pieces of an elliptic arc from `from` as `arc` describes it (end
// point parametrisation): each piece is (control 1, control 2, end). A zero
// radius gives a straight line (one degenerate piece); equal end points give none.
std::vector<PathElement> arcToCubics(Point2F from, const ArcSegment& arc);

}  // namespace Platform::draw2d
