#pragma once

namespace Window {
struct Host;
}

// The popups of the object settings panel, filled from the menu definitions:
// the block menu's effect lists and switch lists, its alias entry, the number
// rows' movements, the colour rows' preset colours and the font rows' fonts.
// They are the panels' host slots (Window::Host); the slots other parts of
// the program fill are left alone.
namespace App {

void addPanelMenus(Window::Host& host);

}  // namespace App
