#pragma once
#include "effect/ControlView.h"
#include "effect/EffectClass.h"
#include "effect/EffectItemGroup.h"
#include "effect/EffectItemLayerRange.h"
#include "effect/EffectItemNumber.h"
#include "effect/MoveEffect.h"

namespace Effect {

// Moves, turns and zooms the objects of the layers after it together. Its
// control step writes the frame's matrices, which the objects of its layers
// read afterwards on the same thread.
class GroupControl : public EffectClass<GroupControl, MoveEffect>, public ControlView {
public:
    static constexpr const wchar_t* kName = L"グループ制御";
    using Matrix = Platform::math::Matrix;

    EffectItemNumber x{&items, L"X", 0, -100000, 100000, 0.01};
    EffectItemNumber y{&items, L"Y", 0, -100000, 100000, 0.01};
    EffectItemNumber z{&items, L"Z", 0, -100000, 100000, 0.01};
    EffectItemNumber angleX{&items, L"X軸回転", 0, -3600, 3600, 0.01};
    EffectItemNumber angleY{&items, L"Y軸回転", 0, -3600, 3600, 0.01};
    EffectItemNumber angleZ{&items, L"Z軸回転", 0, -3600, 3600, 0.01};
    EffectItemNumber zoom{&items, L"拡大率", 100, 0, 10000, 0.001};
    EffectItemLayerRange layers{&items, L"対象レイヤー数", 0, 0, 1000};
    EffectItemGroup position{{&x, &y, &z}};

    // The frame's state, written by controlVideo.
    Matrix worldMatrix = Platform::math::identity();
    Matrix viewMatrix = Platform::math::identity();
    uint8_t plainTranslation = 1;  // this group and every group around it only translate

    GroupControl();
    EffectItemInteger* getLayerRange() override;
    // The context's view moved by X, Y, Z: what the filters on the group see.
    OutputView getOutputView(Render::RenderContext& context) override;
    void controlVideo(Render::RenderContext& context) override;

    // Turned about Z, then Y, then X, zoomed, then moved, at the context.
    Matrix getGroupMatrix(Render::RenderContext& context) const;
    // Zoom 100 and no depth or turn at the context; X and Y may be anything.
    bool isPlainTranslation(Render::RenderContext& context) const;

    Matrix getControlWorldMatrix() const override { return worldMatrix; }
    Matrix getControlViewMatrix() const override { return viewMatrix; }
};

}  // namespace Effect
