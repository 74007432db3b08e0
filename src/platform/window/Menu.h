#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "platform/window/Message.h"

// Menus: a menu bar or popup menu is a list of items (text with an optional
// tab part for the key name, separator, or submenu), each string item with a
// command id and its enabled, checked and radio-mark states. Items are found
// by position or by command id, searched through the submenus too. Calls
// answer false (or -1 / null) on a bad handle, position or id; menus live
// until destroyMenu. A popup tracked with trackPopupMenu takes its answer
// from the scripted-answer hook when one is set.
namespace Platform::window {

struct MenuData;
using MenuHandle = MenuData*;

MenuHandle createMenu();
MenuHandle createPopupMenu();
// Destroys the menu and the submenus it holds.
bool destroyMenu(MenuHandle menu);
bool isMenu(MenuHandle menu);

// Appends a string item with the id (UTF-8 text), a separator, or a submenu.
bool appendMenuString(MenuHandle menu, uint32_t id, const std::string& text);
bool appendMenuSeparator(MenuHandle menu);
bool appendSubMenu(MenuHandle menu, MenuHandle sub, const std::string& text);
// Deletes the item at the position; a submenu it holds is destroyed.
bool deleteMenuAt(MenuHandle menu, int32_t position);
// -1 for a bad handle.
int32_t getMenuItemCount(MenuHandle menu);
// The submenu at the position, or null.
MenuHandle getSubMenu(MenuHandle menu, int32_t position);
// The text of the item at the position (a submenu's label included).
bool getMenuStringAt(MenuHandle menu, int32_t position, std::string& text);
bool setMenuStringAt(MenuHandle menu, int32_t position, const std::string& text);
// Id 0 for separators and submenus; -1 for a bad position.
int32_t getMenuItemId(MenuHandle menu, int32_t position);
// The check and radio marks of the item at the position (a submenu's item too).
bool checkMenuItemAt(MenuHandle menu, int32_t position, bool check);
bool setMenuItemRadioAt(MenuHandle menu, int32_t position, bool radio);
bool isMenuItemCheckedAt(MenuHandle menu, int32_t position);

// By command id, searching the submenus as well.
bool getMenuString(MenuHandle menu, uint32_t id, std::string& text);
bool setMenuString(MenuHandle menu, uint32_t id, const std::string& text);
bool enableMenuItem(MenuHandle menu, uint32_t id, bool enable);
bool checkMenuItem(MenuHandle menu, uint32_t id, bool check);
bool setMenuItemRadio(MenuHandle menu, uint32_t id, bool radio);
// False also when no such item exists.
bool isMenuItemEnabled(MenuHandle menu, uint32_t id);
bool isMenuItemChecked(MenuHandle menu, uint32_t id);
bool isMenuItemRadio(MenuHandle menu, uint32_t id);

// Attaches the menu bar to the window (null detaches); the window owns none
// of it. On screen the bar stands above the client area; opening one of its
// popups sends the window WM_INITMENUPOPUP and then shows the items as the
// procedure left them; choosing an item posts WM_COMMAND with its id.
bool setWindowMenu(WindowHandle window, MenuHandle menu);
MenuHandle getWindowMenu(WindowHandle window);
// Shows the bar's top labels again after they changed.
bool drawMenuBar(WindowHandle window);
// Tells the window's procedure that a popup of its bar is about to open
// (WM_INITMENUPOPUP with the popup's handle) and, when an item is chosen,
// posts WM_COMMAND with the id; returns the chosen id or 0.
uint32_t openWindowMenuPopup(WindowHandle window, int32_t barPosition, uint32_t chosenId);

// Shows a popup at the screen point and returns the chosen id (0: none).
using MenuAnswerHook = std::function<uint32_t(MenuHandle menu, const Point& at)>;
uint32_t trackPopupMenu(MenuHandle menu, const Point& at, WindowHandle owner);
// Answers every trackPopupMenu until cleared (an empty hook clears it).
void setMenuAnswerHook(MenuAnswerHook hook);

}  // namespace Platform::window
