#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "core/ServiceHolder.h"
#include "ui/panels/ListPanelComponent.h"

// The docked list of the project's scenes in the user's order, one row per
// scene, rebuilt whenever the scenes change. A right click outside a row
// offers a new scene; a file dropped on it becomes a new scene.
namespace Component {

class SceneListComponent : public ListPanelComponent {
public:
    SceneListComponent();
    ~SceneListComponent() override;
    SceneListComponent(const SceneListComponent&) = delete;
    SceneListComponent& operator=(const SceneListComponent&) = delete;

    static SceneListComponent* get() { return System::ServiceSlot<SceneListComponent>::instance; }

    void procContextMenu(int32_t x, int32_t y) override;
    bool procDragOver(int32_t x, int32_t y, Window::DropFiles& files) override;
    bool procDrop(int32_t x, int32_t y, Window::DropFiles& files) override;

    // Makes one row per scene of the open project, in display order.
    void rebuild();

private:
    // Rows whose scene went, kept hidden until the next rebuild.
    std::vector<std::unique_ptr<Control::ListItemBase>> retired_;
    // Keeps the listeners, which outlive the panel, from reaching it once it is gone.
    std::shared_ptr<SceneListComponent*> self_;
};

}  // namespace Component
