#include "ui/dialogs/FrameLengthDialog.h"

#include <cmath>

#include "core/StringHelper.h"
#include "core/TextConvert.h"
#include "ui/dialogs/DialogItemInteger.h"
#include "ui/dialogs/DialogItemNumber.h"
#include "ui/dialogs/ReadValue.h"

namespace Dialog {

namespace W = Platform::window;

namespace {
std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}
}  // namespace

FrameLengthDialog::FrameLengthDialog(const wchar_t* caption, int32_t rate, int32_t scale)
    : DialogTemplate(caption), rate(rate), scale(scale) {}

void FrameLengthDialog::addItems(int32_t initialFrames) {
    const double most = rate != 0 ? double(scale) * kMaximumFrames / double(rate) : 0.0;
    seconds = addItem(L"秒数指定", 0.0, 0.0, most);
    frames = addInteger(L"フレーム数指定", initialFrames, 0, kMaximumFrames);
    buttonMode = 2;
}

bool FrameLengthDialog::onMessage(W::DialogWindow& dialog, int32_t id, int32_t code) {
    if (code != W::kDialogEditUpdate || seconds == nullptr || frames == nullptr) return false;
    if (id != seconds->control && id != frames->control) return false;
    // Before the frame-count field exists its text reads empty.
    const std::string frameText = frames->control != 0 ? trimmed(dialog.text(frames->control)) : std::string();
    const std::string secondText = trimmed(dialog.text(seconds->control));
    const bool framesSame = frameText == lastFrames;
    const bool secondsSame = secondText == lastSeconds;
    lastFrames = frameText;
    lastSeconds = secondText;
    if (framesSame && secondsSame) return false;
    if (framesSame) {
        std::string written;
        if (const auto value = parseLeadingNumber(secondText); value && scale != 0) {
            const double count = std::round(double(rate) * *value / double(scale));
            if (std::isfinite(count) && std::fabs(count) < 9.2e18) written = std::to_string(int64_t(count));
        }
        lastFrames = written;
        dialog.setText(frames->control, written);
    } else {
        std::string written;
        if (const auto value = parseLeadingInt(frameText); value && rate != 0)
            written = System::wideToUtf8(System::formatDecimal(double(scale) * *value / double(rate)));
        lastSeconds = written;
        dialog.setText(seconds->control, written);
    }
    return false;
}

}  // namespace Dialog
