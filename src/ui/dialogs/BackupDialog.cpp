#include "ui/dialogs/BackupDialog.h"

#include "edit/BackupHistory.h"
#include "edit/EditService.h"
#include "edit/ProjectHistory.h"
#include "ui/dialogs/DialogItemInteger.h"
#include "ui/dialogs/DialogItemListBox.h"

namespace Dialog {

namespace {

DialogItemListBox* addSwitch(DialogTemplate& dialog, const wchar_t* label, int32_t value) {
    DialogItemListBox* list = dialog.addItem(label, value);
    list->addItem(L"無効");
    list->addItem(L"有効");
    return list;
}

}  // namespace

bool BackupDialog::open() {
    Edit::EditService* edit = Edit::EditService::instance();
    if (edit == nullptr) return false;
    Edit::EditService::Settings& settings = edit->settings();
    auto* resume = addSwitch(*this, L"編集レジューム", settings.editResume);
    auto* backup = addSwitch(*this, L"自動バックアップ", settings.autoBackup);
    auto* interval = addInteger(L"バックアップの間隔(分)", settings.autoBackupInterval, 1, 1000);
    auto* backupMax = addInteger(L"バックアップファイルの最大数", settings.autoBackupFileMax, 1, 50);
    auto* historyMax = addInteger(L"ファイル履歴の最大数", settings.historyFileMax, 1, 50);
    if (!create()) return false;

    settings.editResume = resume->selected;
    settings.autoBackup = backup->selected;
    settings.autoBackupInterval = interval->value;
    settings.autoBackupFileMax = backupMax->value;
    settings.historyFileMax = historyMax->value;
    // The maxima are held to 0..50 again; a dropped backup's file is deleted.
    edit->projectHistory().setMaximum(settings.historyFileMax);
    edit->projectHistory().trim();
    edit->backupHistory().setMaximum(settings.autoBackupFileMax);
    edit->backupHistory().trim();
    edit->updateBackupTimer();
    return true;
}

}  // namespace Dialog
