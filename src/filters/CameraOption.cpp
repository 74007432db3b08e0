#include "filters/CameraOption.h"

#include "effect/RenderContext.h"
#include "filters/OptionList.h"

namespace Effect {

CameraOption::CameraOption() {
    role = kFilter;
    media = kVideo;
    placement = kVideo;
    menuGroup = L"カメラ制御";
}

// The image passes unchanged; the output draws it facing as set here.
std::shared_ptr<Media::ResourceBuffer> CameraOption::filterVideo(Render::RenderContext& context,
                                                                 std::shared_ptr<Media::ResourceBuffer> image) {
    context.view.facingMode = orientation.index;
    context.view.hideBackFace = hideBack.value != 0 ? 1 : 0;
    return image;
}

// The ways of facing; the values are 0 and 3.
std::shared_ptr<const EffectItemSelect::SharedList> CameraOption::orientationList() {
    static const auto list = makeOptionList({{0, L"標準"}, {3, L"カメラの方を向く"}});
    return list;
}

}  // namespace Effect
