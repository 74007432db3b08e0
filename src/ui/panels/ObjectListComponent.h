#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "core/ConfigInt.h"
#include "core/ConfigParameterBinding.h"
#include "core/ConfigParameterGroup.h"
#include "core/ServiceHolder.h"
#include "ui/panels/ListPanelComponent.h"

namespace Edit {
class Object;
class Scene;
}  // namespace Edit

// The docked list of the objects under the cursor frame, one per layer of
// the current scene from the top, filtered by five switches of its own
// settings section. It follows the cursor, the objects and the scene.
namespace Component {

class ObjectListComponent : public ListPanelComponent {
public:
    ObjectListComponent();
    ~ObjectListComponent() override;
    ObjectListComponent(const ObjectListComponent&) = delete;
    ObjectListComponent& operator=(const ObjectListComponent&) = delete;

    static ObjectListComponent* get() { return System::ServiceSlot<ObjectListComponent>::instance; }

    // The edit menu of the selection (paste alone when nothing is selected), then the options.
    void procContextMenu(int32_t x, int32_t y) override;
    void addClientMenu(Window::BaseMenu& menu) override;

    struct Switches {
        int32_t video = 1;
        int32_t audio = 1;
        int32_t control = 1;
        int32_t filter = 1;
        int32_t media = 1;
    };
    // The object at the frame on each layer of the scene that the switches let through.
    static std::vector<std::shared_ptr<Edit::Object>> collect(const Edit::Scene& scene, int32_t frame,
                                                              const Switches& switches);
    // Collects the objects again and gives them to the rows.
    void rebuild();

    Switches switches;

private:
    System::Config::ParameterGroup settings_;
    System::Config::Int video_;
    System::Config::Int audio_;
    System::Config::Int control_;
    System::Config::Int filter_;
    System::Config::Int media_;
    std::unique_ptr<System::Config::ParameterBinding> binding_;
    // Rows replaced by a rebuild, kept hidden until the next one.
    std::vector<std::unique_ptr<Control::ListItemBase>> retired_;
    std::shared_ptr<ObjectListComponent*> self_;
};

}  // namespace Component
