#include "ui/dialogs/ShowError.h"

#include <cstdarg>

#include "core/Log.h"
#include "core/TextConvert.h"
#include "core/TextFormat.h"
#include "core/TranslateService.h"
#include "platform/window/MessageBox.h"
#include "ui/dialogs/BoxOwner.h"

namespace Dialog {
namespace {
namespace W = Platform::window;

constexpr size_t kTextLimit = 1024;  // characters with the terminator

const wchar_t* translatedMessage(const wchar_t* text) {
    return Translate::translated(Translate::TranslateService::Table::Message, text);
}

}  // namespace

int showError(const char* format, ...) {
    char text[kTextLimit];
    va_list args;
    va_start(args, format);
    System::vformatText(text, sizeof text, format, args);
    va_end(args);
    System::Log::error("Dialog::showError", "show error dialog.\n%s", text);
    const BoxOwner place = boxOwner();
    return W::messageBox(place.owner, text, kProductCaption, W::kMbOk | W::kMbIconError | place.modality);
}

void showError(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    const std::wstring text = System::vformatWide(kTextLimit - 1, format, args);
    va_end(args);
    System::Log::error("Dialog::showError", L"show error dialog.\n%ls", text.c_str());
    const BoxOwner place = boxOwner();
    W::messageBox(place.owner, System::wideToUtf8(translatedMessage(text.c_str())), kProductCaption,
                  W::kMbOk | W::kMbIconError | place.modality);
}

void showErrorText(const std::wstring& text) { showError(L"%ls", text.c_str()); }

bool showConfirm(const std::wstring& text) {
    const BoxOwner place = boxOwner();
    return W::messageBox(place.owner, System::wideToUtf8(translatedMessage(text.c_str())), kProductCaption,
                         W::kMbOkCancel | W::kMbIconWarning | place.modality) == W::kIdOk;
}

}  // namespace Dialog
