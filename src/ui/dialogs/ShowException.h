#pragma once
#include <exception>

namespace Dialog {

inline constexpr const char* kExceptionTitle = "Velmo Kirta2 : Application Exception";

// Logs the exception and shows its text, untranslated, in an error box owned
// by the main window (task-modal and unowned while there is none).
void showException(const std::exception& e);

}  // namespace Dialog
