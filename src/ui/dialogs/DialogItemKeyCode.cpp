#include "ui/dialogs/DialogItemKeyCode.h"

#include "core/TextConvert.h"
#include "core/TranslateService.h"
#include "platform/window/KeyMap.h"
#include "ui/framework/Shortcut.h"

namespace Dialog {

namespace W = Platform::window;

DialogItemKeyCode::DialogItemKeyCode(const wchar_t* label, int32_t code) : DialogItem(label), code(code) {}

void DialogItemKeyCode::create(W::DialogWindow& parent, int32_t x, int32_t y, int32_t width, int32_t height) {
    W::DialogControlSpec spec;
    spec.kind = W::DialogControlKind::Edit;
    spec.id = 100 + static_cast<int32_t>(parent.controlIds().size());
    while (parent.hasControl(spec.id)) ++spec.id;
    spec.x = x;
    spec.y = y;
    spec.width = width;
    spec.height = height;
    spec.noInputMethod = true;
    spec.keyCapture = true;
    const wchar_t* cue = L"キーを入力してください";
    if (Translate::TranslateService::isActive())
        cue = Translate::translated(Translate::TranslateService::Table::Dialog, cue);
    spec.cue = System::wideToUtf8(cue);
    parent.createControl(spec);
    control = spec.id;
    window = &parent;
    update();
}

bool DialogItemKeyCode::submit() { return true; }

void DialogItemKeyCode::update() {
    if (window != nullptr && control != 0) window->setText(control, System::wideToUtf8(Window::Shortcut::getCodeName(code)));
}

bool DialogItemKeyCode::notify(int32_t id, int32_t what) {
    if (window == nullptr || id != control) return false;
    if (what == W::kDialogSetFocus) {
        // Empty, so the cue shows while the field waits for a key.
        window->setText(control, "");
        return false;
    }
    if (what == W::kDialogKillFocus) {
        update();
        return false;
    }
    if (what != W::kDialogKeyDown) return false;
    const W::DialogWindow::Key& key = window->lastKey();
    // Shift, Ctrl and Alt alone wait for the key they modify.
    if (key.virtualKey >= W::kVkShift && key.virtualKey <= W::kVkMenu) return true;
    if (key.virtualKey >= W::kVkLShift && key.virtualKey <= W::kVkRMenu) return true;
    int32_t pressed = static_cast<int32_t>(key.virtualKey & Window::Shortcut::KeyMask);
    if (key.ctrl) pressed |= Window::Shortcut::CtrlFlag;
    if (key.shift) pressed |= Window::Shortcut::ShiftFlag;
    if (key.alt) pressed |= Window::Shortcut::AltFlag;
    code = key.virtualKey != 0 && Window::Shortcut::hasKeyName(static_cast<int32_t>(key.virtualKey)) ? pressed : 0;
    update();
    return true;
}

}  // namespace Dialog
