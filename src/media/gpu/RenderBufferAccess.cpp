// The frame buffer's side of the seam through which the effect framework
// reads it. Alone in its file: test programs with a fake frame buffer define
// their own and must not pull this one in.
#include "effect/ModelAccess.h"

#include "media/gpu/RenderBuffer.h"

namespace Effect::Access {

void renderBufferSize(const Media::RenderBuffer& buffer, int32_t& width, int32_t& height) {
    width = static_cast<int32_t>(buffer.width);
    height = static_cast<int32_t>(buffer.height);
}

}  // namespace Effect::Access
