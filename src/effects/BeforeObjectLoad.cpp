#include "effects/BeforeObjectLoad.h"

#include "effect/RenderContext.h"
#include "media/gpu/ResourceBuffer.h"

namespace Effect {

BeforeObjectLoad::BeforeObjectLoad() {
    role = kInput;
    media = kVideo;
    placement = kVideo;
}

std::shared_ptr<Media::ResourceBuffer> BeforeObjectLoad::inputVideo(Render::RenderContext& context) {
    if (!context.resourceCache || !context.previousObjectImage) return nullptr;
    return std::move(*context.previousObjectImage);
}

}  // namespace Effect
