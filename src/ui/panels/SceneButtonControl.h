#pragma once
#include <cstdint>
#include <memory>

#include "ui/controls/ButtonControl.h"
#include "ui/controls/ListItemBase.h"

namespace Edit {
class Scene;
}
namespace Control {
class ListItemControl;
}

// One row of the scene list: the scene's icon and name. A click makes the
// scene current, a drag up or down moves it in the user's order (the root
// scene stays first), a right click opens the scene's menu.
namespace Component {

class SceneListComponent;

class SceneButtonControl : public Control::ButtonControl, public Control::ListItemBase {
public:
    SceneButtonControl(Control::ListItemControl& list, SceneListComponent& panel, std::shared_ptr<Edit::Scene> scene);

    int32_t order() const override;
    // Written straight into the scene: no edit scope, no undo step, no event.
    void setOrder(int32_t value) override;
    bool isMovable() const override;

    void procLButtonDown(int32_t x, int32_t y) override;
    void procLButtonUp(int32_t x, int32_t y) override;
    void procMouseDrag(int32_t dx, int32_t dy) override;
    void procCaptureLost() override;
    void procMouseHover() override;
    void procContextMenu(int32_t x, int32_t y) override;
    void procPaint() override;

    std::shared_ptr<Edit::Scene> scene;
    bool pressed = false;
    bool menuOpen = false;

private:
    SceneListComponent& panel_;
    // The row's top, in window pixels, when the press began.
    int32_t pressTop_ = 0;
};

}  // namespace Component
