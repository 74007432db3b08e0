#pragma once
#include <memory>

#include "platform/draw2d/GpuTarget.h"

namespace Media {

class ResourceBuffer;

// A 2-D target over a resource buffer's texture for worker threads (text and
// figures). Every drawing happens inside its draw scope, which holds the
// Direct2D multithread lock.
class RenderTargetDirect3D {
public:
    // `knownClear`: the buffer was just cleared, so its pixels need not be read.
    explicit RenderTargetDirect3D(ResourceBuffer& buffer, bool knownClear = false);
    ~RenderTargetDirect3D();
    RenderTargetDirect3D(const RenderTargetDirect3D&) = delete;
    RenderTargetDirect3D& operator=(const RenderTargetDirect3D&) = delete;

    class DrawScope {
    public:
        explicit DrawScope(RenderTargetDirect3D& target);
        ~DrawScope();
        DrawScope(const DrawScope&) = delete;
        DrawScope& operator=(const DrawScope&) = delete;

    private:
        RenderTargetDirect3D& target_;
    };

    // The geometry moved by (dx, dy): stroked first when a stroke brush and a
    // width above 0 are given, then filled when a fill brush is given.
    void drawGeometry(const std::shared_ptr<const Platform::draw2d::Geometry>& geometry,
                      const Platform::draw2d::Brush* fill, float dx, float dy, const Platform::draw2d::Brush* stroke,
                      float strokeWidth, const Platform::draw2d::StrokeStyle* style);

    // Null when the buffer's format cannot be drawn into (its drawing is dropped).
    std::unique_ptr<Platform::draw2d::GpuTarget> bitmap;
};

}  // namespace Media
