#pragma once
#include <string>

namespace Dialog {

inline constexpr const char* kProductCaption = "Velmo Kirta2";

// Error boxes under the product caption. The finished text is cut at 1023
// characters and logged before it is shown.
// The narrow form shows its text as built; returns the box's answer.
int showError(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The wide form shows the finished text in the active language when it is
// a key of the message table as a whole.
void showError(const wchar_t* format, ...);
// The wide form for a complete text that is not a format ("%" stays).
void showErrorText(const std::wstring& text);

// An OK / Cancel warning box, its text in the active language; true for OK.
// Nothing is logged.
bool showConfirm(const std::wstring& text);

}  // namespace Dialog
