#include "effects/FrameLoad.h"

#include "effect/RenderContext.h"
#include "media/gpu/RenderBuffer.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {

FrameLoad::FrameLoad() {
    role = kInput;
    media = kVideo;
    placement = kVideo;
}

std::shared_ptr<Media::ResourceBuffer> FrameLoad::inputVideo(Render::RenderContext& context) {
    Media::RenderBuffer* frame = context.view.frameBuffer;
    if (!frame || !frame->texture) return nullptr;
    std::shared_ptr<Media::ResourceBuffer> image = frame->createResourceBuffer(keepAlpha.value != 0);
    if (clear.value) {
        if (!frame->renderTargetView) frame->createRenderTargetView();
        static constexpr float kTransparent[4] = {0, 0, 0, 0};
        frame->Direct3D->context->clearRenderTargetView(frame->renderTargetView, kTransparent);
    }
    return image;
}

}  // namespace Effect
