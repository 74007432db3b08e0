#include "effect/AnchorItem.h"

namespace Anchor {

AnchorItem::AnchorItem(int32_t type, uint32_t flags, const Effect::EffectBase* owner,
                       std::shared_ptr<Edit::Object> object, std::shared_ptr<Effect::EffectBase> effect, int32_t id)
    : type(type), object(std::move(object)), effect(std::move(effect)), id(id), flags(flags), owner(owner) {}

void AnchorItem::setPosition(const Platform::math::Matrix& m, float x, float y, float z) {
    matrix = m;
    position = {x, y, z, 1};
    startPosition = position;
}

bool AnchorItem::sameAnchor(const AnchorItem& other) const {
    return object == other.object && effect == other.effect && id == other.id && flags == other.flags;
}

}  // namespace Anchor
