#include "effects/SimpleOutput.h"

#include <algorithm>

#include "effect/RenderContext.h"

namespace Effect {

SimpleOutput::SimpleOutput() {
    role = kOutput;
    media = kVideo;
    placement = kVideo;
}

void SimpleOutput::outputVideo(Render::RenderContext& context, Media::RenderBuffer& target,
                               std::shared_ptr<Media::ResourceBuffer> image) {
    drawPlain(context, target, *image);
}

OutputView SimpleOutput::getOutputView(Render::RenderContext& context) {
    OutputView view = context.view;
    view.opacity = static_cast<float>(view.opacity * (1 - alpha.getValue(context) / 100));
    if (blend.index != 0) view.blendMode = std::clamp(blend.index, 0, 23);
    return view;
}

}  // namespace Effect
