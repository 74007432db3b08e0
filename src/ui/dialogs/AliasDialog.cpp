#include "ui/dialogs/AliasDialog.h"

#include <memory>

#include "core/TranslateService.h"
#include "effect/EffectService.h"
#include "ui/dialogs/DialogItemNameComboBox.h"
#include "ui/dialogs/DialogItemNameText.h"

namespace Dialog {

namespace {

std::wstring dialogText(const wchar_t* text) {
    if (!Translate::TranslateService::isActive()) return text;
    return Translate::translated(Translate::TranslateService::Table::Dialog, text);
}

}  // namespace

std::wstring AliasDialog::captionFor(const std::wstring& suffix) {
    return dialogText(L"エイリアスを作成") + L" - " + suffix;
}

AliasDialog::AliasDialog(const std::wstring& captionSuffix) { caption = captionFor(captionSuffix); }

bool AliasDialog::show(std::wstring& name, std::wstring& label) {
    DialogItemNameText* nameItem = addItem(L"エイリアス名", name);
    auto labelBox = std::make_unique<DialogItemNameComboBox>(L"ラベル", label);
    if (const Effect::EffectService* effects = Effect::EffectService::get())
        for (const std::wstring* text : effects->getEffectLabelList()) labelBox->choices.push_back(*text);
    DialogItemNameComboBox* labelItem = append(std::move(labelBox));
    if (!create()) return false;
    name = nameItem->text;
    label = labelItem->text;
    return true;
}

}  // namespace Dialog
