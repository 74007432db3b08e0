#pragma once
#include <memory>
#include <utility>

#include "effect/EffectBase.h"

namespace Effect {

// What every concrete effect class repeats, written once: its name is its
// kName, createInstance makes one with the constructor's defaults, and the
// class-wide resource the prototype made in createCommonResource (a member
// named `resource` or `common`) is shared with every instance it makes.
//
//   class BlurFilter : public EffectClass<BlurFilter> { static constexpr const wchar_t* kName = ...; };
//   class VideoOutput : public EffectClass<VideoOutput, BasicOutput> { ... };
template <class Derived, class Base = EffectBase>
class EffectClass : public Base {
public:
    template <class... Args>
    explicit EffectClass(Args&&... args) : Base(std::forward<Args>(args)...) {
        this->name = Derived::kName;
    }

    std::shared_ptr<EffectBase> createInstance() const override { return std::make_shared<Derived>(); }

    // The prototype is always of the class itself: instantiate() pairs an
    // instance with the prototype that made it.
    void shareResource(const EffectBase& prototype) override {
        Base::shareResource(prototype);
        auto& self = static_cast<Derived&>(*this);
        const auto& from = static_cast<const Derived&>(prototype);
        if constexpr (requires { self.resource = from.resource; }) self.resource = from.resource;
        if constexpr (requires { self.common = from.common; }) self.common = from.common;
    }
};

}  // namespace Effect
