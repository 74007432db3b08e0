#include "ui/dialogs/EditServiceDialogs.h"

#include <stdexcept>

#include "core/Log.h"
#include "core/TextConvert.h"
#include "core/TranslateService.h"
#include "platform/window/MessageBox.h"
#include "ui/dialogs/AskQuestion.h"
#include "ui/dialogs/ShowException.h"

namespace Dialog {

bool EditServiceDialogs::askOkCancel(const std::wstring& text) { return askQuestion(text); }

void EditServiceDialogs::showError(const std::wstring& text) {
    System::Log::error("Dialog::showError", L"show error dialog.\n%ls", text.c_str());
    const wchar_t* shown = text.c_str();
    if (const Translate::TranslateService* translate = Translate::TranslateService::get();
        translate && Translate::TranslateService::isActive())
        shown = translate->translate(Translate::TranslateService::Table::Message, shown);
    namespace W = Platform::window;
    // Without a main window the box is task-modal and has no owner.
    W::messageBox(nullptr, System::wideToUtf8(shown), "Velmo Kirta2", W::kMbOk | W::kMbIconError | W::kMbTaskModal);
}

void EditServiceDialogs::showApplicationException(const std::string& text) { showException(std::runtime_error(text)); }

}  // namespace Dialog
