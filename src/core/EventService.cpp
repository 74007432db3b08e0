#include "core/EventService.h"

#include <exception>
#include <memory>
#include <stdexcept>
#include <string>

#include "core/Clipboard.h"
#include "core/Log.h"
#include "core/TextConvert.h"
#include "core/TextFormat.h"
#include "core/TranslateService.h"
#include "platform/window/MessageBox.h"
#include "core/ExceptionPresenter.h"

namespace Event {
namespace {

constexpr const char* kProductCaption = "Velmo Kirta2";

// An error text shown as it stands (cut like any formatted text): logged as
// built in, boxed in the active language, without an owner while there is no
// main window.
void showErrorText(const std::wstring& posted) {
    const std::wstring text = System::formatString(L"%ls", posted.c_str());
    System::Log::error("Dialog::showError", L"show error dialog.\n%ls", text.c_str());
    const wchar_t* shown = text.c_str();
    if (const Translate::TranslateService* translate = Translate::TranslateService::get();
        translate && Translate::TranslateService::isActive())
        shown = translate->translate(Translate::TranslateService::Table::Message, shown);
    namespace W = Platform::window;
    W::messageBox(nullptr, System::wideToUtf8(shown), kProductCaption, W::kMbOk | W::kMbIconError | W::kMbTaskModal);
}

}  // namespace

void EventService::processEventCommandMessage(uintptr_t kind, intptr_t payload) {
    switch (static_cast<EventCommandType>(kind)) {
    case EventCommandType::RenderPreview:
    case EventCommandType::RenderPlayer:
    case EventCommandType::RenderOutput:
        renderResultListeners.call(static_cast<int>(kind) + 1, static_cast<int>(static_cast<uint32_t>(payload)));
        return;
    case EventCommandType::ThrowException: {
        std::unique_ptr<std::exception> posted(reinterpret_cast<std::exception*>(payload));
        std::runtime_error copy(posted->what());
        posted.reset();
        throw copy;
    }
    case EventCommandType::ShowException: {
        std::unique_ptr<std::exception> posted(reinterpret_cast<std::exception*>(payload));
        const std::runtime_error copy(posted->what());
        posted.reset();
        System::presentException(copy);
        return;
    }
    case EventCommandType::ShowError: {
        std::unique_ptr<std::wstring> text(reinterpret_cast<std::wstring*>(payload));
        showErrorText(*text);
        return;
    }
    case EventCommandType::SetClipboardImage:
        System::Clipboard::setImage(*reinterpret_cast<const System::ClipboardImage*>(payload));
        return;
    case EventCommandType::OutputFileEnd:
        if (outputFileEnd_) outputFileEnd_();
        return;
    }
    System::Log::warn("Event::EventService::processEventCommandMessage", "unknown EventCommandType.");
}

}  // namespace Event
