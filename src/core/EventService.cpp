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
#include "core/ErrorPresenter.h"
#include "core/ExceptionPresenter.h"

namespace Event {

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
        System::presentError(*text);
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
