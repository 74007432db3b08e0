#pragma once
#include <cstdint>
#include <functional>
#include <memory>

namespace Edit {
class Object;
}
namespace Window {
class BaseMenu;
}

// The edit commands of the object area's context menu that live outside the
// timeline: each entry is shown grayed while its slot is empty. The program
// fills the slots at start-up.
namespace Component {

struct ObjectAreaCommands {
    // Inserts an empty frame at the frame on every layer.
    std::function<void(int32_t frame)> insertNullFrame;
    // Asks for and sets the length of the targets.
    std::function<void()> changeObjectLength;
    // Adds a midpoint to the object at the frame.
    std::function<void(const std::shared_ptr<Edit::Object>& object, int32_t frame)> createSection;
    // Removes the object's midpoint (1-based).
    std::function<void(const std::shared_ptr<Edit::Object>& object, int32_t index)> deleteSection;
    // Whether the selection can have its layer ranges fitted, and the fitting.
    std::function<bool()> canAdjustTargetLayerRange;
    std::function<void()> adjustTargetLayerRange;
    // Appends the group and ungroup items for the selection.
    std::function<void(Window::BaseMenu& menu)> insertGroupMenu;
    // Saves the object as an alias file, with its frames.
    std::function<void(const std::shared_ptr<Edit::Object>& object)> saveObjectAlias;

    static ObjectAreaCommands& installed();
};

}  // namespace Component
