#pragma once
// What the object commands share: the objects a command acts on, taking an
// object out of its layer, and the default length of a new object.
#include <cstdint>
#include <memory>
#include <vector>

namespace Edit {
class Object;
class Scene;
}  // namespace Edit

namespace Edit::EditCommand {

// The selected objects in selection order; else the focus object when it is
// on a layer; else none.
std::vector<std::shared_ptr<Object>> getTargets(const Scene& scene);
// Marks the object's slot for compaction (and its control ranges) and gives
// the object the layer -1; the closing scope drops it from the slot.
void takeOutObject(Scene& scene, Object& object);
// Removes a piece made in this scope from its slot at once, as if never added.
void removeNewObject(Scene& scene, const std::shared_ptr<Object>& object);
// The end a new object dropped at the frame gets at the scene's zoom.
int32_t defaultEnd(const Scene& scene, int32_t frame);
// Empties the selection without telling anyone.
void clearSelection(Scene& scene);

}  // namespace Edit::EditCommand
