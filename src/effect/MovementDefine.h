#pragma once
#include <memory>
#include <string>

#include "effect/MenuDefineBase.h"

namespace Effect {

class MovementBase;

// A registered movement and its entry in the movement menu.
class MovementDefine : public Menu::MenuDefineBase {
public:
    MovementDefine(std::shared_ptr<MovementBase> movement, int32_t order);
    ~MovementDefine() override;

    std::wstring getName() const override;
    std::wstring getDisplayName() const override;

    const std::shared_ptr<MovementBase>& movement() const { return movement_; }

private:
    std::shared_ptr<MovementBase> movement_;
};

}  // namespace Effect
