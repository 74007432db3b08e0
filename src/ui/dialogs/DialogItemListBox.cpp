#include "ui/dialogs/DialogItemListBox.h"

#include <algorithm>

#include "core/TextConvert.h"
#include "core/TranslateService.h"

namespace Dialog {

namespace W = Platform::window;

DialogItemListBox::DialogItemListBox(const wchar_t* label, int32_t selected) : DialogItem(label), selected(selected) {}

void DialogItemListBox::create(W::DialogWindow& parent, int32_t x, int32_t y, int32_t width, int32_t height) {
    control = createControl(parent, W::DialogControlKind::DropList, L"", x, y, width, height);
    for (const std::wstring& choice : choices) {
        const wchar_t* shown = choice.c_str();
        if (Translate::TranslateService::isActive())
            shown = Translate::translated(Translate::TranslateService::Table::Dialog, shown);
        parent.addChoice(control, System::wideToUtf8(shown));
    }
    parent.setSelection(control, selected);
}

bool DialogItemListBox::submit() {
    const int32_t chosen = window->selection(control);
    if (chosen >= 0) selected = chosen;
    return true;
}

void DialogItemListBox::addItem(const std::wstring& text) { choices.push_back(text); }

void DialogItemListBox::selectItem(const std::wstring& text) {
    const auto at = std::find(choices.begin(), choices.end(), text);
    if (at != choices.end()) selected = static_cast<int32_t>(at - choices.begin());
}

}  // namespace Dialog
