#include "ui/dialogs/PostError.h"

#include <cstdarg>
#include <memory>
#include <stdexcept>
#include <string>

#include "core/EventCommandPost.h"
#include "core/Log.h"
#include "core/TextFormat.h"

namespace Dialog {
namespace {
void discardText(intptr_t payload) { delete reinterpret_cast<std::wstring*>(payload); }
void discardException(intptr_t payload) { delete reinterpret_cast<std::exception*>(payload); }
}  // namespace

bool postError(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    auto text = std::make_unique<std::wstring>(System::vformatWide(1023, format, args));
    va_end(args);
    if (Event::postEventCommandOnceBound(Event::EventCommandType::ShowError, reinterpret_cast<intptr_t>(text.get()),
                                         discardText)) {
        text.release();  // the UI thread frees it after showing it
        return true;
    }
    System::Log::error("Dialog::postError", L"failed to post error dialog.\n%ls", text->c_str());
    return false;
}

void postException(const std::exception& e) {
    // The event service reads what() only, so a copy of the text is the copy.
    auto copy = std::make_unique<std::runtime_error>(e.what());
    if (Event::postEventCommandOnceBound(Event::EventCommandType::ShowException,
                                         reinterpret_cast<intptr_t>(static_cast<std::exception*>(copy.get())),
                                         discardException)) {
        copy.release();
        return;
    }
    System::Log::error("Dialog::postException", "failed to post exception dialog.\n%s", e.what());
}

}  // namespace Dialog
