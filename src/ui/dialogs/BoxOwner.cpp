#include "ui/dialogs/BoxOwner.h"

#include "core/EventCommandPost.h"
#include "edit/UpdateSection.h"
#include "platform/window/MessageBox.h"

namespace Dialog {
void stopPlayback() { Edit::UpdateSection::stopPlayback(); }

BoxOwner boxOwner() {
    const Platform::window::WindowHandle main = Event::commandWindow();
    if (main == nullptr) return BoxOwner{nullptr, Platform::window::kMbTaskModal};
    stopPlayback();
    return BoxOwner{main, 0};
}

}  // namespace Dialog
