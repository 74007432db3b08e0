// The model tests' answers to what the model does not own: no open project's
// scene names, one font, two figures, and the real conversion of earlier
// track values; and the dialog that asks the model's questions.
#include "edit/Project.h"
#include "support/TestModelQueries.h"
#include "ui/dialogs/ShowError.h"

namespace {

[[maybe_unused]] const bool gConfigured = [] {
    TestModelQueries& model = testModel();
    model.fonts = {L"Noto Sans CJK JP"};
    model.defaultFont = L"Noto Sans CJK JP";
    model.figures = {L"背景", L"円"};
    model.convertTrackValues = true;
    // The model's questions go to the dialog, as the program installs it.
    Edit::Project::setQuestionAsker(Dialog::showConfirm);
    return true;
}();

}  // namespace
