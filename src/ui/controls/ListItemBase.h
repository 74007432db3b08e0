#pragma once
#include <cstdint>

namespace Window {
class WindowControl;
}

// What every row of a list is besides its own control class: the list it
// belongs to, its control, and an optional place in a user-chosen order.
namespace Control {

class ListItemControl;

class ListItemBase {
public:
    ListItemBase(ListItemControl& owner, Window::WindowControl& rowControl) : list(&owner), control(&rowControl) {}
    virtual ~ListItemBase() = default;
    ListItemBase(const ListItemBase&) = delete;
    ListItemBase& operator=(const ListItemBase&) = delete;

    virtual int32_t order() const { return 0; }
    virtual void setOrder(int32_t) {}
    virtual bool isMovable() const { return false; }

    // Only when both rows are movable: they trade places in the order, the
    // list sorts its rows again, lays them out and draws itself again.
    void swapOrder(ListItemBase& other);

    ListItemControl* list;
    Window::WindowControl* control;
};

}  // namespace Control
