#pragma once
#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"

namespace Effect {

// What the layers before the object have drawn so far.
class FrameLoad : public EffectClass<FrameLoad> {
public:
    static constexpr const wchar_t* kName = L"フレームバッファ";

    EffectItemCheck keepAlpha{&items, L"アルファチャンネルを維持", true};
    EffectItemCheck clear{&items, L"フレームバッファをクリア"};

    FrameLoad();

    // A copy of the frame so far (exact with the alpha kept, else through the
    // frame's opaque copy pass); with the clear set the frame then starts over
    // transparent, so the image takes the place of what was drawn.
    std::shared_ptr<Media::ResourceBuffer> inputVideo(Render::RenderContext& context) override;
};

}  // namespace Effect
