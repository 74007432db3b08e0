#pragma once
#include <functional>
#include <string>

#include "edit/PopupMenu.h"

namespace Window {
class BaseMenu;
}

// Lets the model fill a window menu: its items go into the menu they wrap,
// a disabled one grayed.
namespace Component {

class ModelMenu : public Edit::PopupMenu {
public:
    explicit ModelMenu(Window::BaseMenu& menu) : menu_(menu) {}
    void insertItem(const std::wstring& text, bool enabled, std::function<void()> action) override;
    void insertSeparator() override;

private:
    Window::BaseMenu& menu_;
};

}  // namespace Component
