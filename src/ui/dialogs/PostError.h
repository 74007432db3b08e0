#pragma once
#include <exception>

namespace Dialog {

// From any thread: the finished text (cut at 1023 characters) is shown later
// on the UI thread as showErrorText shows it, "%" unchanged. Posted before the
// main window exists, it is kept and shown once the window is there. False
// when the main window refused it; that is logged with the text.
bool postError(const wchar_t* format, ...);

// From any thread: a copy of the exception is shown later on the UI thread
// as showException shows it; kept like postError's text before the main
// window exists. A refused post is logged.
void postException(const std::exception& e);

}  // namespace Dialog
