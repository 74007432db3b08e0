#pragma once
#include <cstdint>
#include <memory>

#include "media/gpu/Direct2DService.h"
#include "platform/draw2d/RenderTarget.h"
#include "platform/window/Message.h"

namespace Platform::draw2d {
class WindowTarget;
}

// The drawing surface of one rectangular area of the main window. All areas
// share the window's one target; each keeps its rectangle and origin, and
// every drawing call takes integers relative to that origin. Nested draw
// scopes open the target's drawing once, move the origin and clip.
namespace Media {

class RenderTarget : public Direct2DInstance {
public:
    // A root: it owns the nesting count and the target it opens.
    RenderTarget() : root(this) {}
    // An area drawn on the root's target.
    explicit RenderTarget(RenderTarget& owner) : target(owner.target), root(owner.root) {}
    RenderTarget(const RenderTarget&) = delete;
    RenderTarget& operator=(const RenderTarget&) = delete;

    class DrawScope {
    public:
        // Right and bottom exclusive; relative to the current area unless absolute.
        DrawScope(RenderTarget& target, int32_t left, int32_t top, int32_t right, int32_t bottom, bool absolute);
        // Throws when the outermost scope's end of drawing fails (and no other exception is on its way).
        ~DrawScope() noexcept(false);
        DrawScope(const DrawScope&) = delete;
        DrawScope& operator=(const DrawScope&) = delete;

    private:
        RenderTarget& target_;
        RenderTarget& changed_;
        int32_t savedLeft_, savedTop_, savedWidth_, savedHeight_;
        int32_t savedOriginX_, savedOriginY_;
        bool clipped_ = false;
        int exceptions_;
    };

    // Closes one nesting level of the root; the last one ends the drawing.
    void endDraw();
    // Opens one nesting level of the root; the first one begins the drawing.
    void beginDraw();

    void drawRectangle(int32_t left, int32_t top, int32_t right, int32_t bottom, const Platform::draw2d::Brush& brush,
                       int32_t width, const Platform::draw2d::StrokeStyle* style);
    void fillRectangle(int32_t left, int32_t top, int32_t right, int32_t bottom, const Platform::draw2d::Brush& brush);
    void fillRectangleGradient(int32_t left, int32_t top, int32_t right, int32_t bottom,
                               Platform::draw2d::LinearGradientBrush& brush);
    void drawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const Platform::draw2d::Brush& brush, int32_t width,
                  const Platform::draw2d::StrokeStyle* style);
    void drawBitmap(const Platform::draw2d::Bitmap& bitmap, int32_t left, int32_t top, int32_t right, int32_t bottom,
                    float opacity);
    void fillDot(int32_t x, int32_t y, const Platform::draw2d::Brush& brush);
    // A closed figure through the points (x, y pairs); drawn or, with three points, filled.
    void drawPath(const float* points, uint32_t count, const Platform::draw2d::Brush& brush, float width,
                  const Platform::draw2d::StrokeStyle* style);
    void fillPath(const float* points, const Platform::draw2d::Brush& brush);

    int32_t left = 0, top = 0, width = 0, height = 0;
    int32_t originX = 0, originY = 0;
    Platform::draw2d::RenderTarget* target = nullptr;
    RenderTarget* root;
    int32_t drawCount = 0;  // of the root

private:
    std::unique_ptr<Platform::draw2d::PathGeometry> closedFigure(const float* points, uint32_t count,
                                                                 const char* scope);
};

// The owner of the window's target.
class RenderTargetWindow : public RenderTarget {
public:
    RenderTargetWindow();
    ~RenderTargetWindow();
    // Replaces the target with one of the window; the area becomes its client size.
    void createRenderTarget(Platform::window::WindowHandle window);
    // Takes the window's current client size as the area's size.
    void resizeRenderTarget();

private:
    std::unique_ptr<Platform::draw2d::WindowTarget> windowTarget_;
};

// A saved strip of the window target, put back after a temporary overlay.
class WindowTemporaryImage {
public:
    // Inside an open draw scope of the area: saves (x, 0)-(x + width, height) of it.
    void pushImage(RenderTarget& area, int32_t x, int32_t width, int32_t height);
    // Draws the saved strip back; only when one was pushed.
    void popImage();

    int32_t x = 0, y = 0, width = 0, height = 0;
    const int32_t* originX = nullptr;
    const int32_t* originY = nullptr;
    RenderTarget* render = nullptr;
    std::unique_ptr<Platform::draw2d::Bitmap> image;
};

}  // namespace Media
