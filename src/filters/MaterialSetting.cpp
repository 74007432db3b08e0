#include "filters/MaterialSetting.h"

#include "effect/RenderContext.h"

namespace Effect {

MaterialSetting::MaterialSetting() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"カメラ制御";
}

// The image passes unchanged; the lights see the object with this gloss.
std::shared_ptr<Media::ResourceBuffer> MaterialSetting::filterVideo(Render::RenderContext& context,
                                                                    std::shared_ptr<Media::ResourceBuffer> image) {
    context.view.gloss = static_cast<float>(gloss.getValue(context) / 100);
    return image;
}

}  // namespace Effect
