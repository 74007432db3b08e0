#include "core/ErrorPresenter.h"

#include "core/Log.h"
#include "core/TextConvert.h"
#include "core/TextFormat.h"
#include "core/TranslateService.h"
#include "platform/window/MessageBox.h"

namespace System {
namespace {
constexpr const char* kProductCaption = "Velmo Kirta2";

// An error text shown as it stands (cut like any formatted text): logged as
// built in, boxed in the active language, without an owner while there is no
// main window.
void showErrorText(const std::wstring& posted) {
    const std::wstring text = System::formatString(L"%ls", posted.c_str());
    System::Log::error("Dialog::showError", L"show error dialog.\n%ls", text.c_str());
    const wchar_t* shown = Translate::translated(Translate::TranslateService::Table::Message, text.c_str());
    namespace W = Platform::window;
    W::messageBox(nullptr, System::wideToUtf8(shown), kProductCaption, W::kMbOk | W::kMbIconError | W::kMbTaskModal);
}

}  // namespace

void presentError(const std::wstring& text) {
    if (!presentErrorIfInstalled(text)) showErrorText(text);
}

}  // namespace System
