#include "media/gpu/RenderTargetDirect3D.h"

#include "media/gpu/Direct2DService.h"
#include "media/gpu/Direct3DService.h"
#include "media/gpu/ResourceBuffer.h"
#include "platform/draw2d/Lock.h"

namespace Media {

namespace D2 = Platform::draw2d;

RenderTargetDirect3D::RenderTargetDirect3D(ResourceBuffer& buffer, bool knownClear) {
    Platform::gpu::Texture& surface = buffer.getSurface();
    // A failure leaves the target without a bitmap; its drawing is then dropped.
    (void)D2::GpuTarget::create(*Direct3DService::get()->device, surface, knownClear, bitmap);
    if (bitmap) {
        bitmap->setAntialiasMode(D2::AntialiasMode::PerPrimitive);
        bitmap->setTextAntialiasMode(D2::TextAntialiasMode::Grayscale);
    }
}

RenderTargetDirect3D::~RenderTargetDirect3D() = default;

RenderTargetDirect3D::DrawScope::DrawScope(RenderTargetDirect3D& target) : target_(target) {
    D2::layerLock().lock();
    if (target_.bitmap) target_.bitmap->beginDraw();
}

RenderTargetDirect3D::DrawScope::~DrawScope() {
    if (target_.bitmap) (void)target_.bitmap->endDraw();  // its result is not used
    D2::layerLock().unlock();
}

void RenderTargetDirect3D::drawGeometry(const std::shared_ptr<const D2::Geometry>& geometry, const D2::Brush* fill,
                                        float dx, float dy, const D2::Brush* stroke, float strokeWidth,
                                        const D2::StrokeStyle* style) {
    if (!bitmap) return;
    const D2::TransformedGeometry moved(geometry, D2::Matrix3x2F::translation(dx, dy));
    if (stroke != nullptr && strokeWidth > 0) bitmap->drawGeometry(moved, *stroke, strokeWidth, style);
    if (fill != nullptr) bitmap->fillGeometry(moved, *fill);
}

}  // namespace Media
