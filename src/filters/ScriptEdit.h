#pragma once
#include "effect/EffectBase.h"
#include "effect/EffectItemText.h"
#include "filters/PendingRenderStep.h"

namespace Effect {

// Runs the script typed into it on the object.
class ScriptEdit : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"スクリプト制御";

    EffectItemText script{&items, L"スクリプト"};

    ScriptEdit();
    std::shared_ptr<EffectBase> createInstance() const override;
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;

private:
    // Until the filter draws, its step hands the input on and says so once.
    PendingRenderStep pending_;
};

}  // namespace Effect
