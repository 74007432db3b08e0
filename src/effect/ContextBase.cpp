#include "effect/ContextBase.h"

namespace Render {

void ContextBase::setObject(const std::shared_ptr<Edit::Object>& newObject) {
    if (newObject == object) return;
    resetObject(newObject);
}

void ContextBase::resetObject(const std::shared_ptr<Edit::Object>& newObject) {
    object = newObject;
    section = object ? SectionPosition::locate(*object, frame, preciseFrame) : SectionPosition{};
}

void ContextBase::releaseObjects() {
    object.reset();
    chain.reset();
}

}  // namespace Render
