#pragma once
#include <exception>

namespace Dialog {

inline constexpr const char* kExceptionTitle = "Velmo Kirta2 : Application Exception";

// Logs the exception and shows its text in an error message box. Without a
// main window the box is task-modal and has no owner.
void showException(const std::exception& e);

}  // namespace Dialog
