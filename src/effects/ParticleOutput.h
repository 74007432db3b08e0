#pragma once
#include <cstdint>

#include "effect/EffectClass.h"
#include "effect/EffectItemCheck.h"
#include "effect/EffectItemGroup.h"
#include "effect/EffectItemNumber.h"
#include "effect/EffectItemSelect.h"
#include "effect/MoveEffect.h"
#include "effects/BlendModeList.h"
#include "effects/OutputShaderEffect.h"

namespace Media {
class VertexListQuadPosUv;
}

namespace Effect {

// Emits copies of the object as particles; it brings its own figure source to
// the object menu. Nothing is kept between frames: every living particle of a
// frame follows from its index, the items, the layer and the start frame.
class ParticleOutput : public EffectClass<ParticleOutput, MoveEffect>, public OutputShaderEffect {
public:
    static constexpr const wchar_t* kName = L"パーティクル出力";

    EffectItemNumber x{&items, L"X", 0, -100000, 100000, 0.01};
    EffectItemNumber y{&items, L"Y", 0, -100000, 100000, 0.01};
    EffectItemNumber z{&items, L"Z", 0, -100000, 100000, 0.01};
    EffectItemNumber rate{&items, L"出力頻度", 20, 0, 500, 0.1};
    EffectItemNumber speed{&items, L"出力速度", 400, 0, 20000, 0.1};
    EffectItemNumber acceleration{&items, L"加速度", 0, -20000, 20000, 0.1};
    EffectItemNumber direction{&items, L"出力方向", 0, -3600, 3600, 0.01};
    EffectItemNumber spread{&items, L"拡散角度", 30, 0, 360, 0.01};
    EffectItemNumber transparency{&items, L"透過率", 0, 0, 100, 0.01};
    EffectItemNumber transparencySpeed{&items, L"透過速度", 0, -200, 200, 0.01};
    EffectItemNumber zoom{&items, L"拡大率", 100, 0, 10000, 0.001};
    EffectItemNumber zoomSpeed{&items, L"拡大速度", 0, -1000, 1000, 0.001};
    EffectItemNumber angle{&items, L"回転角", 0, -3600, 3600, 0.01};
    EffectItemNumber angleSpeed{&items, L"回転速度", 0, -10, 10, 0.01};
    EffectItemNumber gravity{&items, L"重力", 0, -2000, 2000, 0.01};
    EffectItemNumber lifetime{&items, L"生存時間", 0, 0, 600, 0.1};
    EffectItemCheck randomStart{&items, L"移動範囲の座標からランダムに出力"};
    EffectItemCheck directionFromMove{&items, L"出力方向の基準を移動方向にする"};
    EffectItemCheck angleFromMove{&items, L"回転角の基準を移動方向にする"};
    EffectItemCheck randomRotation{&items, L"3Dランダム回転"};
    EffectItemSelect blend{&items, L"合成モード", 0, blendModeList()};
    EffectItemGroup position{{&x, &y, &z}};

    // The random values of one particle: a hash of its index, the layer and
    // the object's start frame, drawn in a fixed order.
    class Random {
    public:
        Random(int32_t layer, int32_t startFrame, int64_t index);
        // The next value, in [0, 1].
        float next();

    private:
        uint64_t x_;
    };

    // At most this many particles are computed per frame, the newest first.
    static constexpr int32_t kMaxParticles = 10000;

    ParticleOutput();
    const EffectDefine* getPairedInputEffect() const override;
    OutputView getOutputView(Render::RenderContext& context) override;
    void outputVideo(Render::RenderContext& context, Media::RenderBuffer& target,
                     std::shared_ptr<Media::ResourceBuffer> image) override;
    // Appends particle n, emitted at the frame and now of the age in seconds,
    // to the context's vertex list as the template moved into place; nothing
    // when it is dead, invisible or scaled to nothing.
    void generateParticle(Render::RenderContext& context, const Media::VertexList& shape, int64_t n,
                          double emissionFrame, double age);
};

}  // namespace Effect
