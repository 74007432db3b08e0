#include "ui/dialogs/ShowException.h"

#include "core/Log.h"
#include "platform/window/MessageBox.h"

namespace Dialog {

void showException(const std::exception& e) {
    System::Log::error("Dialog::showException", "show exception dialog.\n%s", e.what());
    namespace W = Platform::window;
    W::messageBox(nullptr, e.what(), kExceptionTitle, W::kMbOk | W::kMbIconError | W::kMbTaskModal);
}

}  // namespace Dialog
