#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "effect/SectionPosition.h"

namespace Edit {
class Object;
class Scene;
}  // namespace Edit

namespace Render {

using ObjectChain = std::vector<std::shared_ptr<Edit::Object>>;

// The leading fields shared by the video and the audio render context: where
// the render is and which object it is at. A plain value; copies share the
// references.
class ContextBase {
public:
    Edit::Scene* scene = nullptr;  // not owning
    int32_t layer = 0;
    int32_t frame = 0;
    double preciseFrame = 0;
    int32_t mediaFrameOffset = 0;
    std::shared_ptr<Edit::Object> object;
    SectionPosition section;
    // The object, its filter objects and its filter-carrying group controls.
    std::shared_ptr<ObjectChain> chain;

    // Makes the object current and locates the frame in it, unless it already is current.
    void setObject(const std::shared_ptr<Edit::Object>& newObject);
    // The same without the same-object test.
    void resetObject(const std::shared_ptr<Edit::Object>& newObject);
    void releaseObjects();
};

}  // namespace Render
