#pragma once
#include <cstdint>
#include <string>

// The notice of a finished export: a desktop notification with a title and a
// text, shown for five seconds. One is shown at a time; a new one replaces it.
namespace Window {

inline constexpr uint32_t kNotifyIconLifeMs = 5000;

// Removes any notice shown, shows this one (title cut to 63 characters, text
// to 255) and removes it again after kNotifyIconLifeMs; at program exit a
// notice still shown is removed. UI thread.
void addNotifyIcon(const std::wstring& title, const std::wstring& text);
// Removes the notice if one is shown and stops its timer.
void removeNotifyIcon();
bool notifyIconShown();

}  // namespace Window
