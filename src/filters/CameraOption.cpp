#include "filters/CameraOption.h"

#include "filters/OptionList.h"

namespace Effect {

CameraOption::CameraOption() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"カメラ制御";
}

std::shared_ptr<Media::ResourceBuffer> CameraOption::filterVideo(Render::RenderContext&,
                                                                 std::shared_ptr<Media::ResourceBuffer> image) {
    return pending_.skip(std::move(image), "Effect::CameraOption::filterVideo");
}

// The ways of facing; the values are 0 and 3.
std::shared_ptr<const EffectItemSelect::SharedList> CameraOption::orientationList() {
    static const auto list = makeOptionList({{0, L"標準"}, {3, L"カメラの方を向く"}});
    return list;
}

}  // namespace Effect
