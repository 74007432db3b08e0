#pragma once
#include "effect/EffectBase.h"
#include "effect/EffectItemCheck.h"

namespace Effect {

// What the layers before the object have drawn so far.
class FrameLoad : public EffectBase {
public:
    static constexpr const wchar_t* kName = L"フレームバッファ";

    EffectItemCheck keepAlpha{&items, L"アルファチャンネルを維持", true};
    EffectItemCheck clear{&items, L"フレームバッファをクリア"};

    FrameLoad();
    std::shared_ptr<EffectBase> createInstance() const override;
};

}  // namespace Effect
