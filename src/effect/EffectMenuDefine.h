#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "effect/MenuDefineBase.h"

namespace Edit {
class Object;
}

namespace Effect {

class EffectBase;

// A menu entry that makes objects or adds effects: an effect definition or a
// saved alias.
class EffectMenuDefine : public Menu::MenuDefineBase {
public:
    using Menu::MenuDefineBase::MenuDefineBase;

    // The role code (1 to 4), or 100 (object alias) and 101 (effect alias).
    virtual int32_t getKind() = 0;
    virtual uint8_t getMedia() = 0;
    virtual uint8_t getPlacement() = 0;
    virtual void createObject(int32_t layer, int32_t frame) = 0;
    virtual void addToObject(const std::shared_ptr<Edit::Object>& object, int32_t position, bool replace) = 0;
    virtual bool isDefineOf(const EffectBase& effect) const = 0;
};

}  // namespace Effect
