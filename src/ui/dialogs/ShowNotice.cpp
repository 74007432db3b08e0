#include "ui/dialogs/ShowNotice.h"

#include "core/EventCommandPost.h"
#include "core/TextConvert.h"
#include "platform/window/MessageBox.h"

namespace Dialog {

void showNotice(const std::wstring& text) {
    namespace W = Platform::window;
    const W::WindowHandle owner = Event::commandWindow();
    W::messageBox(owner, System::wideToUtf8(text), "Velmo Kirta2",
                  W::kMbOk | W::kMbIconInformation | (owner == nullptr ? W::kMbTaskModal : 0));
}

}  // namespace Dialog
