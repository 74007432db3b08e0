#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemText.h"

namespace Effect {

// Runs the script typed into it on the object.
class ScriptEdit : public EffectClass<ScriptEdit> {
public:
    static constexpr const wchar_t* kName = L"スクリプト制御";

    // Runs the typed script. The script host installs one at start-up.
    class Runner {
    public:
        virtual ~Runner() = default;
        // The image the script leaves as the object's image, or none; a
        // failing script is logged, never thrown.
        virtual std::shared_ptr<Media::ResourceBuffer> run(ScriptEdit& effect, Render::RenderContext& context,
                                                           std::shared_ptr<Media::ResourceBuffer> image) = 0;
    };
    // Returns the runner installed before.
    static Runner* setRunner(Runner* runner);

    EffectItemText script{&items, L"スクリプト"};

    ScriptEdit();
    // Without a runner the image is handed on unchanged.
    std::shared_ptr<Media::ResourceBuffer> filterVideo(Render::RenderContext& context,
                                                       std::shared_ptr<Media::ResourceBuffer> image) override;
};

}  // namespace Effect
