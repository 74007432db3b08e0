#include "ui/dialogs/DialogTemplate.h"

#include <algorithm>

#include "core/EventCommandPost.h"
#include "core/TextConvert.h"
#include "core/TranslateService.h"
#include "media/gpu/ResourceService.h"
#include "platform/window/TopLevel.h"
#include "ui/dialogs/BoxOwner.h"
#include "ui/dialogs/DialogItemInteger.h"
#include "ui/dialogs/DialogItemListBox.h"
#include "ui/dialogs/DialogItemNameText.h"
#include "ui/dialogs/DialogItemNumber.h"
#include "ui/dialogs/DialogItemText.h"
#include "ui/framework/PopupMenu.h"
#include "ui/framework/ToolTips.h"

namespace Dialog {

namespace W = Platform::window;

namespace {

std::wstring dialogText(const std::wstring& text) {
    if (!Translate::TranslateService::isActive()) return text;
    return Translate::translated(Translate::TranslateService::Table::Dialog, text.c_str());
}

}  // namespace

DialogTemplate::DialogTemplate(const wchar_t* caption) : caption(caption != nullptr ? caption : L"") {}

DialogTemplate::~DialogTemplate() = default;

bool DialogTemplate::onMessage(W::DialogWindow&, int32_t, int32_t) { return false; }

DialogItemListBox* DialogTemplate::addItem(const wchar_t* label, int32_t selected) {
    return append(std::make_unique<DialogItemListBox>(label, selected));
}

DialogItemNumber* DialogTemplate::addItem(const wchar_t* label, double value, double minimum, double maximum) {
    return append(std::make_unique<DialogItemNumber>(label, value, minimum, maximum));
}

DialogItemNumber* DialogTemplate::addItem(const wchar_t* label, float value, double minimum, double maximum) {
    return append(std::make_unique<DialogItemNumber>(label, double(value), minimum, maximum));
}

DialogItemNameText* DialogTemplate::addItem(const wchar_t* label, const std::wstring& text) {
    return append(std::make_unique<DialogItemNameText>(label, text, true));
}

DialogItemInteger* DialogTemplate::addInteger(const wchar_t* label, int32_t value, int32_t minimum,
                                              int32_t maximum) {
    return append(std::make_unique<DialogItemInteger>(label, value, minimum, maximum));
}

DialogItemText* DialogTemplate::addNameText(const std::wstring& text, bool required) {
    return append(std::make_unique<DialogItemText>(L"名前", text, required));
}

void DialogTemplate::addButton(const wchar_t* label, std::function<void()> action, int32_t width) {
    Button button;
    button.label = label != nullptr ? label : L"";
    button.action = std::move(action);
    button.width = width;
    button.id = kButtonIdBase + static_cast<int32_t>(buttons.size());
    buttons.push_back(std::move(button));
}

bool DialogTemplate::create(int32_t minimumWidth, W::WindowHandle owner) {
    if (Window::ToolTips::shown) Window::ToolTips::hide();
    stopPlayback();
    minimumClientWidth = minimumWidth;
    minimumClientHeight = 0;
    if (owner == nullptr) owner = Event::commandWindow();
    std::wstring shown = dialogText(caption);
    if (shown.size() > kCaptionLength) shown.resize(kCaptionLength);
    // The controls go with the dialog, also when it ends by an exception.
    struct Closed {
        DialogTemplate& dialog;
        ~Closed() {
            dialog.window = nullptr;
            for (auto& item : dialog.items) item->window = nullptr;
        }
    } closed{*this};
    return W::DialogWindow::run(owner, System::wideToUtf8(shown), *this) == 1;
}

void DialogTemplate::initDialog(W::DialogWindow& dialog) {
    window = &dialog;
    layoutItems(dialog);
}

void DialogTemplate::layoutItems(W::DialogWindow& dialog) {
    if (const Resource::ResourceService* resources = Resource::ResourceService::get()) {
        const auto& font = resources->gdiFont.font();
        dialog.setFont(System::wideToUtf8(font.family), font.height);
    }
    const int32_t measured = dialog.measureText("!#@/").y;
    const int32_t line = measured != 0 ? measured + 4 : 0;
    lineHeight = line;

    okButton = items.size() > 1;
    int32_t widest = 0;
    bool anyLabel = false;
    for (auto& item : items) {
        if (item->height != 0)
            okButton = true;
        else
            item->height = line;
        if (!item->label.empty()) {
            anyLabel = true;
            widest = std::max(widest, dialog.measureText(System::wideToUtf8(dialogText(item->label))).x);
        }
    }
    const int32_t labelColumn = anyLabel ? widest + 8 : 0;
    int32_t height = 18;
    for (const auto& item : items) height += item->height + 6;
    if (buttonMode == 1)
        okButton = true;
    else if (buttonMode != 0)
        okButton = false;
    if (okButton || !buttons.empty()) height += line + 12;
    const int32_t width = std::max(labelColumn + 324, minimumClientWidth);
    height = std::max(height, minimumClientHeight);
    minimumClientWidth = width;
    minimumClientHeight = height;
    dialog.setClientSize(width, height);

    // Centred on the owner with an OK button, else at the anchor point kept
    // inside the owner's right and bottom edges.
    W::Rect ownerRect;
    const bool hasOwner = dialog.owner() != nullptr && W::getWindowRect(dialog.owner(), ownerRect);
    W::Point at;
    if (okButton) {
        if (hasOwner)
            at = {ownerRect.left + (ownerRect.right - ownerRect.left - width) / 2,
                  ownerRect.top + (ownerRect.bottom - ownerRect.top - height) / 2};
    } else {
        // Where the popup menu opened when its command opens the dialog, else the cursor.
        if (Window::PopupMenu::inMenuCommand)
            at = Window::PopupMenu::menuPoint;
        else
            (void)W::getCursorPos(at);
        if (hasOwner) {
            at.x = std::min(at.x, ownerRect.right - width);
            at.y = std::min(at.y, ownerRect.bottom - height);
        }
    }
    dialog.moveTo(at);

    int32_t y = 12;
    for (auto& item : items) {
        if (!item->label.empty()) {
            W::DialogControlSpec label;
            label.kind = W::DialogControlKind::Static;
            label.id = 100 + static_cast<int32_t>(dialog.controlIds().size());
            while (dialog.hasControl(label.id)) ++label.id;
            label.text = System::wideToUtf8(dialogText(item->label));
            label.x = 12;
            label.y = y;
            label.width = labelColumn;
            label.height = line;
            label.centreVertically = true;
            dialog.createControl(label);
        }
        item->window = &dialog;
        item->create(dialog, labelColumn + 12, y, std::max(0, width - labelColumn - 24), item->height);
        y += item->height + 6;
    }
    y += 6;
    int32_t x = 12;
    for (const Button& button : buttons) {
        W::DialogControlSpec spec;
        spec.kind = W::DialogControlKind::Button;
        spec.id = button.id;
        spec.text = System::wideToUtf8(dialogText(button.label));
        spec.width = button.width != 0 ? button.width : 4 * line;
        spec.height = line;
        spec.x = std::min(x, width - spec.width - 12);
        spec.y = y;
        dialog.createControl(spec);
        x += spec.width + 12;
    }
    if (okButton) {
        W::DialogControlSpec spec;
        spec.kind = W::DialogControlKind::Button;
        spec.id = kOkButtonId;
        spec.text = "OK";
        spec.defaultButton = true;
        spec.width = 4 * line;
        spec.height = line;
        spec.x = std::max(12, width - 4 * line - 12);
        spec.y = y;
        dialog.createControl(spec);
    }
    // The first item's field has the focus.
    for (const auto& item : items)
        if (item->control != 0 && dialog.control(item->control)->kind != W::DialogControlKind::Static) {
            dialog.focus(item->control);
            break;
        }
}

bool DialogTemplate::submitItems() {
    for (auto& item : items)
        if (!item->submit()) return false;
    return true;
}

void DialogTemplate::command(W::DialogWindow& dialog, int32_t id, int32_t code) {
    for (auto& item : items)
        if (item->notify(id, code)) return;
    if (id == W::kDialogIdOk && code == W::kDialogClicked) {
        if (!okButton && submitItems()) dialog.end(1);
    } else if (id == W::kDialogIdCancel && code == W::kDialogClicked) {
        dialog.end(0);
    } else if (id == kOkButtonId && code == W::kDialogClicked) {
        if (submitItems()) dialog.end(1);
    } else if (id >= kButtonIdBase && size_t(id - kButtonIdBase) < buttons.size()) {
        if (const auto& action = buttons[size_t(id - kButtonIdBase)].action) action();
        return;
    }
    (void)onMessage(dialog, id, code);
}

}  // namespace Dialog
