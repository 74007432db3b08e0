#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemSelect.h"

namespace Effect {

// How the object faces the camera and whether its back is drawn.
class CameraOption : public EffectClass<CameraOption> {
public:
    static constexpr const wchar_t* kName = L"カメラ制御オプション";

    EffectItemSelect orientation{&items, L"オブジェクトの向き", 0, orientationList()};
    EffectItemCheck hideBack{&items, L"裏面を表示しない"};

    CameraOption();
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;

private:
    static std::shared_ptr<const EffectItemSelect::SharedList> orientationList();
};

}  // namespace Effect
