#include "effect/MovementBase.h"

#include "core/Exception.h"

namespace Effect {

MovementBase::~MovementBase() = default;

double MovementBase::getValue(const EffectItemNumber&, const Render::SectionPosition&, Render::RenderContext&) const {
    throw System::notImplementException("Effect::MovementBase::getValue");
}

int32_t MovementBase::getCurrentSection(const EffectItemNumber&, const Render::SectionPosition&) const { return -1; }

bool MovementBase::isSegmentInterpolated(const EffectItemNumber&, int32_t) const { return true; }

bool MovementBase::hasTrajectory() const { return true; }

}  // namespace Effect
