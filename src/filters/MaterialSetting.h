#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemNumber.h"

namespace Effect {

// The gloss of the object under the camera's lights.
class MaterialSetting : public EffectClass<MaterialSetting> {
public:
    static constexpr const wchar_t* kName = L"材質設定(カメラ制御)";

    EffectItemNumber gloss{&items, L"光沢度", 70, 0, 100, 1};

    MaterialSetting();
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
};

}  // namespace Effect
