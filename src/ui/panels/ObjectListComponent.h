#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/ConfigInt.h"
#include "core/ConfigParameterBinding.h"
#include "core/ConfigParameterGroup.h"
#include "core/ServiceHolder.h"
#include "ui/controls/ControlContainer.h"
#include "ui/controls/ListItemControl.h"
#include "ui/controls/TitleHeaderControl.h"
#include "ui/framework/WindowClientRenderTarget.h"

namespace Edit {
class Object;
class Scene;
}  // namespace Edit

// The docked list of the objects under the cursor frame, one per layer of
// the current scene from the top, filtered by five switches of its own
// settings section. It follows the cursor, the objects and the scene.
namespace Component {

class ObjectListComponent : public Window::WindowClientRenderTarget {
public:
    ObjectListComponent();
    ~ObjectListComponent() override;
    ObjectListComponent(const ObjectListComponent&) = delete;
    ObjectListComponent& operator=(const ObjectListComponent&) = delete;

    static ObjectListComponent* get() { return System::ServiceSlot<ObjectListComponent>::instance; }

    void procPaint() override;
    void procMove() override;
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

    Control::ListItemControl& list() { return *list_; }
    Switches switches;

private:
    void logPlace();

    Window::ControlContainer container_;
    std::array<int32_t, 4> loggedPlace_{};
    std::unique_ptr<Control::TitleHeaderControl> header_;
    std::unique_ptr<Control::ListItemControl> list_;
    System::Config::ParameterGroup settings_;
    System::Config::Int video_;
    System::Config::Int audio_;
    System::Config::Int control_;
    System::Config::Int filter_;
    System::Config::Int media_;
    std::unique_ptr<System::Config::ParameterBinding> binding_;
    std::shared_ptr<ObjectListComponent*> self_;
};

}  // namespace Component
