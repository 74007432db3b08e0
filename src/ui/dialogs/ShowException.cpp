#include "ui/dialogs/ShowException.h"

#include "core/Log.h"
#include "platform/window/MessageBox.h"
#include "ui/dialogs/BoxOwner.h"

namespace Dialog {

void showException(const std::exception& e) {
    System::Log::error("Dialog::showException", "show exception dialog.\n%s", e.what());
    namespace W = Platform::window;
    const BoxOwner place = boxOwner();
    W::messageBox(place.owner, e.what(), kExceptionTitle, W::kMbOk | W::kMbIconError | place.modality);
}

}  // namespace Dialog
