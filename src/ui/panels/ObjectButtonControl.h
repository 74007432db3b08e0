#pragma once
#include <cstdint>
#include <memory>

#include "ui/controls/ButtonControl.h"
#include "ui/controls/ListItemBase.h"
#include "ui/framework/StyleBitmapList.h"

namespace Edit {
class Object;
}
namespace Control {
class ListItemControl;
}

// One row of the object list: the object's kind as an icon and its top
// effect's name. A click focuses the object; with Ctrl it joins the selection.
namespace Component {

class ObjectButtonControl : public Control::ButtonControl, public Control::ListItemBase {
public:
    ObjectButtonControl(Control::ListItemControl& list, std::shared_ptr<Edit::Object> object);

    // Gives the row another object; the icon follows it.
    void setObject(std::shared_ptr<Edit::Object> shown);
    // The icon of an object's kind.
    static Window::StyleBitmapList::Index iconOf(const Edit::Object& object);

    void procLButtonDown(int32_t x, int32_t y) override;
    void procKeyRelease() override;
    void procCaptureLost() override;
    void procMouseHover() override;
    void procPaint() override;

    std::shared_ptr<Edit::Object> object;
    Window::StyleBitmapList::Index icon = Window::StyleBitmapList::Setting;
};

}  // namespace Component
