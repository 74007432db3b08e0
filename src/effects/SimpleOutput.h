#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemSelect.h"
#include "effects/BlendModeList.h"
#include "effects/OutputShaderEffect.h"

namespace Effect {

// The plain drawing of an image into the frame with opacity and blend mode.
class SimpleOutput : public EffectClass<SimpleOutput>, public OutputShaderEffect {
public:
    static constexpr const wchar_t* kName = L"基本出力";

    EffectItemNumber alpha{&items, L"透明度", 0, 0, 100, 0.01};
    EffectItemSelect blend{&items, L"合成モード", 0, blendModeList()};

    SimpleOutput();
    void outputVideo(Render::RenderContext& context, Media::RenderBuffer& target,
                     std::shared_ptr<Media::ResourceBuffer> image) override;
    OutputView getOutputView(Render::RenderContext& context) override;
};

}  // namespace Effect
