#include "effect/AnchorEffectBase.h"

#include "core/Exception.h"

namespace Effect {

void AnchorEffectBase::drawAnchor(Render::RenderContext&, const ChainEntry&, int32_t, int32_t) {}

void AnchorEffectBase::moveAnchor(const Anchor::AnchorEvent&) {}

Anchor::AnchorItem* AnchorEffectBase::addAnchorItem(Anchor::AnchorList&, const std::shared_ptr<Edit::Object>&,
                                                    const ChainEntry&, int32_t, const Point&,
                                                    const OutputView::Matrix&, uint32_t) {
    return nullptr;
}

void AnchorEffectBase::setCurrentAnchor(Render::RenderContext&, const ChainEntry&, int32_t, uint32_t) {
    throw System::notImplementException("Effect::AnchorEffectBase::setCurrentAnchor");
}

void AnchorEffectBase::setSectionAnchor(Render::RenderContext&, const ChainEntry&, int32_t, uint32_t) {
    throw System::notImplementException("Effect::AnchorEffectBase::setSectionAnchor");
}

Platform::math::Float4 AnchorEffectBase::getAnchorPosition(Render::RenderContext&, double) { return {}; }

void AnchorEffectBase::transformAnchor(Anchor::AnchorList&, const ChainEntry&, const Point&,
                                       const OutputView::Matrix&) {}

}  // namespace Effect
