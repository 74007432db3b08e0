#include "ui/dialogs/AskQuestion.h"

#include "core/TextConvert.h"
#include "platform/window/MessageBox.h"

namespace Dialog {

bool askQuestion(const std::wstring& question) {
    namespace W = Platform::window;
    return W::messageBox(nullptr, System::wideToUtf8(question), "Velmo Kirta2",
                         W::kMbOkCancel | W::kMbIconWarning | W::kMbTaskModal) == W::kIdOk;
}

}  // namespace Dialog
