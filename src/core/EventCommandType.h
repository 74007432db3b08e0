#pragma once
#include <cstdint>

namespace Event {

// The kind of a command message posted to the main window (its first
// parameter); the second parameter carries the payload.
enum class EventCommandType : uint32_t {
    RenderPreview = 0,      // a value: render-result listeners get (1, value)
    RenderPlayer = 1,       // (2, value)
    RenderOutput = 2,       // (3, value)
    ThrowException = 3,     // a heap std::exception owned by the message, raised again on the UI thread
    ShowException = 4,      // a heap std::exception owned by the message, shown
    ShowError = 5,          // a heap std::wstring owned by the message, shown as it stands
    SetClipboardImage = 6,  // a System::ClipboardImage owned by the sender, which waits (sent, not posted)
    OutputFileEnd = 7,      // none: the export has ended
};

}  // namespace Event
