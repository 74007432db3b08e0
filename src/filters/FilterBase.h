#pragma once
#include <cmath>
#include <cstdint>
#include <memory>

#include "effect/EffectClass.h"

namespace Effect {

// Base of the built-in filters. The constructor sets the header (name, role
// filter, media and the placement that goes with it) before the concrete
// class declares its items as members, in the order they are shown, saved
// and copied; the concrete constructor then sets the menu group.
//
// The steps recompute everything from the items at the context's frame, so
// one instance renders any frame in any order. A step whose values make it an
// identity returns the very image it was given; an empty result ends the
// object's filter chain. Images never exceed 16384 on a side (the image
// constructor clamps).
class FilterBase : public EffectBase {
protected:
    FilterBase(const wchar_t* filterName, uint8_t filterMedia) {
        name = filterName;
        role = kFilter;
        media = filterMedia;
        placement = filterMedia;  // 1 video, 2 audio
    }
};

// A filter class registered once (see EffectClass) on the filter header.
template <class Derived, class Base = FilterBase>
class FilterClass : public EffectClass<Derived, Base> {
public:
    using EffectClass<Derived, Base>::EffectClass;
};

// Values of the items as the steps use them.
namespace FilterValue {

// Pixel sizes, radii and counts: the nearest integer, halves away from zero.
inline int32_t pixels(double value) { return static_cast<int32_t>(std::lround(value)); }
// Percentages as a fraction.
inline float percent(double value) { return static_cast<float>(value * 0.01); }
// Degrees to radians by the single-precision factor.
inline float radians(double degrees) { return static_cast<float>(degrees) * 0.017453292f; }

}  // namespace FilterValue

}  // namespace Effect
