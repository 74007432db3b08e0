#pragma once
// An output effect whose X, Y and Z (all 0 at first) are its object anchor's
// position, for the tests that drag that anchor.
#include <memory>

#include "effect/EffectItemNumber.h"
#include "effect/MoveEffect.h"

class DraggedOutput : public Effect::MoveEffect {
public:
    Effect::EffectItemNumber x{&items, L"X", 0, -100000, 100000, 0.01};
    Effect::EffectItemNumber y{&items, L"Y", 0, -100000, 100000, 0.01};
    Effect::EffectItemNumber z{&items, L"Z", 0, -100000, 100000, 0.01};
    DraggedOutput() {
        role = kOutput;
        positionItems = {&x, &y, &z};
    }
    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<DraggedOutput>(); }
};
