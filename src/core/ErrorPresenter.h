#pragma once
#include <string>

// Where the core layer sends an error text the user must see (an error posted
// from a worker, shown on the UI thread). The program installs the dialog at
// start-up; until then the text is logged and shown in an unowned box.
namespace System {

using ErrorPresenter = void (*)(const std::wstring& text);

// Returns the presenter installed before; none restores the default.
ErrorPresenter setErrorPresenter(ErrorPresenter presenter);
void presentError(const std::wstring& text);
// Shows the text through the installed presenter; false, showing nothing,
// while none is installed (for callers whose default is their own log line).
bool presentErrorIfInstalled(const std::wstring& text);

}  // namespace System
