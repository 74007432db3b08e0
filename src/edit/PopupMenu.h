#pragma once
#include <functional>
#include <string>

namespace Edit {

// What the model's menus need of a popup menu; the window layer's menus
// implement it.
class PopupMenu {
public:
    virtual ~PopupMenu() = default;
    // Appends an item; the menu shows the text through its Menu translation
    // table. A disabled item is grayed.
    virtual void insertItem(const std::wstring& text, bool enabled, std::function<void()> action) = 0;
    virtual void insertSeparator() = 0;
};

}  // namespace Edit
