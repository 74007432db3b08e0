#pragma once
#include <cstdint>
#include <memory>

#include "platform/draw2d/Bitmap.h"
#include "platform/draw2d/Brush.h"
#include "platform/draw2d/Geometry.h"
#include "platform/draw2d/StrokeStyle.h"
#include "platform/draw2d/Types.h"

typedef struct _cairo_surface cairo_surface_t;

namespace Platform::draw2d {

class TextLayout;

struct Ellipse {
    Point2F point;
    float radiusX = 0;
    float radiusY = 0;
};

// A surface to draw on in pixel units: drawing happens between beginDraw and
// endDraw; calls outside are dropped and make endDraw report kWrongState.
// Clips are axis-aligned rectangles, pushed and popped in order. Lines and
// outlines without a style have flat caps, miter joins (limit 10) and no dashes.
class RenderTarget {
public:
    virtual ~RenderTarget();
    RenderTarget(const RenderTarget&) = delete;
    RenderTarget& operator=(const RenderTarget&) = delete;

    void beginDraw();
    // Finishes the drawing and shows or stores it. kWrongState without a
    // matching begin or after drawing outside one; kPushPopUnbalanced when
    // clips were left pushed (they are dropped).
    Result endDraw();
    bool isDrawing() const;
    // The pixel size of the surface (the window's client size for a window).
    uint32_t pixelWidth();
    uint32_t pixelHeight();

    void setTransform(const Matrix3x2F& matrix);
    Matrix3x2F transform() const;
    void setAntialiasMode(AntialiasMode mode);
    AntialiasMode antialiasMode() const;
    void setTextAntialiasMode(TextAntialiasMode mode);
    TextAntialiasMode textAntialiasMode() const;

    // The rectangle is transformed and its bounds are the clip. Aliased clips
    // take the pixels whose centres lie inside.
    void pushAxisAlignedClip(const RectF& rect, AntialiasMode mode);
    void popAxisAlignedClip();
    uint32_t clipDepth() const;

    void clear(ColorF color);
    void fillRectangle(const RectF& rect, const Brush& brush);
    void drawRectangle(const RectF& rect, const Brush& brush, float width, const StrokeStyle* style);
    void drawLine(Point2F from, Point2F to, const Brush& brush, float width, const StrokeStyle* style);
    void fillEllipse(const Ellipse& ellipse, const Brush& brush);
    void drawEllipse(const Ellipse& ellipse, const Brush& brush, float width, const StrokeStyle* style);
    void fillGeometry(const Geometry& geometry, const Brush& brush);
    void drawGeometry(const Geometry& geometry, const Brush& brush, float width, const StrokeStyle* style);
    // Null destination: the bitmap's size at (0, 0); null source: all of it.
    void drawBitmap(const Bitmap& bitmap, const RectF* destination, float opacity, Interpolation interpolation,
                    const RectF* source);
    // The layout's top-left corner at the origin.
    void drawTextLayout(Point2F origin, const TextLayout& layout, const Brush& brush);

    // A bitmap of the target's pixel format (premultiplied), transparent.
    Result createBitmap(uint32_t width, uint32_t height, std::unique_ptr<Bitmap>& out);

    // The pixel at (x, y) of what has been drawn, as 0xAARRGGBB premultiplied;
    // 0 outside or without a surface.
    uint32_t pixel(int32_t x, int32_t y);

    // The surface drawn on, inside the layer (null when there is none).
    cairo_surface_t* surface();

protected:
    RenderTarget();
    // The surface to draw on, asked for at every beginDraw (a window's surface
    // is replaced when its size changes). Null: nothing can be drawn.
    virtual cairo_surface_t* acquireSurface() = 0;
    // Called by beginDraw before anything is drawn, and by endDraw once it is done.
    virtual void prepare(cairo_surface_t*) {}
    virtual Result present(cairo_surface_t*) { return kOk; }

private:
    struct State;
    std::unique_ptr<State> state_;
};

// An off-screen target of its own pixels (premultiplied B, G, R, A bytes).
class MemoryTarget : public RenderTarget {
public:
    // kInvalidArg for a size of 0 or above 16384.
    static Result create(uint32_t width, uint32_t height, std::unique_ptr<MemoryTarget>& out);
    ~MemoryTarget() override;

protected:
    cairo_surface_t* acquireSurface() override { return surface_; }

private:
    explicit MemoryTarget(cairo_surface_t* surface) : surface_(surface) {}
    cairo_surface_t* surface_;
};

}  // namespace Platform::draw2d
