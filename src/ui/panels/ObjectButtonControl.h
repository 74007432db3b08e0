#pragma once
#include <cstdint>
#include <memory>

#include "ui/controls/ButtonControl.h"
#include "ui/controls/CheckBitmapButtonControl.h"
#include "ui/controls/CheckButtonControl.h"
#include "ui/controls/ControlContainer.h"
#include "ui/controls/LayoutControl.h"
#include "ui/controls/ListItemBase.h"
#include "ui/framework/StyleBitmapList.h"

namespace Edit {
class Object;
}
namespace Control {
class ListItemControl;
}

// One row of the object list: the object's kind as an icon, its top
// effect's name and two buttons at the right end, lock (absent for audio)
// and enable. A click focuses the object; with Ctrl it joins the selection.
// A right click opens the list's edit menu for the row's object.
namespace Component {

class ObjectListComponent;

class ObjectButtonControl : public Control::ButtonControl, public Control::ListItemBase {
public:
    ObjectButtonControl(Control::ListItemControl& list, ObjectListComponent& panel, std::shared_ptr<Edit::Object> object);
    ~ObjectButtonControl() override;

    // Gives the row another object; the icon and both buttons' states follow it.
    void setObject(std::shared_ptr<Edit::Object> shown);
    // The icon of an object's kind.
    static Window::StyleBitmapList::Index iconOf(const Edit::Object& object);

    void procLButtonDown(int32_t x, int32_t y) override;
    void procKeyRelease() override;
    void procCaptureLost() override;
    void procMouseHover() override;
    void procContextMenu(int32_t x, int32_t y) override;
    void procMove() override;
    void procPaint() override;

    std::shared_ptr<Edit::Object> object;
    Window::StyleBitmapList::Index icon = Window::StyleBitmapList::Setting;
    Window::ControlContainer buttons;
    Control::LayoutControl strip;
    Control::CheckBitmapButtonControl lockButton;
    Control::CheckButtonControl enableButton;

private:
    ObjectListComponent& panel_;
};

}  // namespace Component
