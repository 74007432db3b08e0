#pragma once
#include <memory>

#include "effect/ContextBase.h"

namespace Render {

// Puts the object that was current at entry back, with its section position.
class KeepCurrent {
public:
    explicit KeepCurrent(ContextBase& context)
        : context_(context), object_(context.object), section_(context.section) {}
    ~KeepCurrent() {
        context_.object = std::move(object_);
        context_.section = section_;
    }
    KeepCurrent(const KeepCurrent&) = delete;
    KeepCurrent& operator=(const KeepCurrent&) = delete;

private:
    ContextBase& context_;
    std::shared_ptr<Edit::Object> object_;
    SectionPosition section_;
};

}  // namespace Render
