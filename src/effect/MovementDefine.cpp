#include "effect/MovementDefine.h"

#include "effect/MovementBase.h"
#include "effect/NameTranslation.h"

namespace Effect {

MovementDefine::MovementDefine(std::shared_ptr<MovementBase> movement, int32_t order)
    : MenuDefineBase("Movement", movement->name, order, L"", true), movement_(std::move(movement)) {}

MovementDefine::~MovementDefine() = default;

std::wstring MovementDefine::getName() const { return movement_->name; }

std::wstring MovementDefine::getDisplayName() const { return translateName(movement_->name); }

}  // namespace Effect
