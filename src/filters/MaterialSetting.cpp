#include "filters/MaterialSetting.h"

namespace Effect {

MaterialSetting::MaterialSetting() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"カメラ制御";
}

std::shared_ptr<Media::ResourceBuffer> MaterialSetting::filterVideo(Render::RenderContext&,
                                                                    std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::MaterialSetting::filterVideo");
}

}  // namespace Effect
