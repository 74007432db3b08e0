// The model tests' answers to what the model does not own: no open project's
// scene names, one font, two figures, and the real conversion of earlier
// track values.
#include "support/TestModelQueries.h"

namespace {

[[maybe_unused]] const bool gConfigured = [] {
    TestModelQueries& model = testModel();
    model.fonts = {L"Noto Sans CJK JP"};
    model.defaultFont = L"Noto Sans CJK JP";
    model.figures = {L"背景", L"円"};
    model.convertTrackValues = true;
    return true;
}();

}  // namespace
