#include "filters/TempDraw.h"

#include "effect/RenderContext.h"
#include "filters/FilterPasses.h"
#include "media/gpu/RenderBuffer.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {

TempDraw::TempDraw() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
}

std::shared_ptr<Media::ResourceBuffer> TempDraw::filterVideo(Render::RenderContext& context,
                                                             std::shared_ptr<Media::ResourceBuffer> image) {
    // Drawn once: a second off-screen draw of the object hands the frame image on.
    if (!image || context.plainPlacement || !context.view.frameBuffer) return image;
    const Media::RenderBuffer& frame = *context.view.frameBuffer;
    auto drawn = std::make_shared<Media::ResourceBuffer>(frame.width, frame.height);
    FilterPasses::clear(*drawn);
    drawObjectToBuffer(context, *drawn, *image);
    context.plainPlacement = 1;  // the output composites the frame image one to one
    context.keepPosition = 1;
    OutputView& view = context.view;
    view.x = view.y = view.z = 0;
    view.rotationX = view.rotationY = view.rotationZ = 0;
    view.scaleX = view.scaleY = view.scaleZ = 1;
    view.centerX = view.centerY = view.centerZ = 0;
    return drawn;
}

}  // namespace Effect
