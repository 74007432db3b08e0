#pragma once
#include <cstdint>

#include "ui/controls/TextButtonControl.h"
#include "ui/panels/EditComponent.h"

// The button in the timeline's corner box showing the current scene's name:
// a click lists the project's scenes to switch to, its context menu holds
// the scene's own commands and resting on it shows the scene's details.
namespace Component {

class EditComponent::SceneButtonControl : public Control::TextButtonControl {
public:
    SceneButtonControl(Window::ControlContainer& container, int32_t x, int32_t y, int32_t w, int32_t h);

    void procContextMenu(int32_t x, int32_t y) override;
    void procMouseHover() override;

    // The scenes in display order, the current one checked; choosing one makes it current.
    void showSceneMenu();
};

}  // namespace Component
